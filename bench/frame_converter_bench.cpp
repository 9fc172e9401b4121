// Time per frame of converting BGR into each format the camera offers, at the
// sizes the camera is used at. Part of what libsoftcam spends per frame on
// PipeWire's thread.
#include "frame_converter.h"

#include <spa/param/video/raw.h>

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

void convertFrame(benchmark::State& state, uint32_t format, int width, int height)
{
    FrameConverter converter;
    if (!converter.configure(format, width, height)) {
        state.SkipWithError("format not offered");
        return;
    }
    // Noise, so that no branch or cache effect favours flat colour.
    std::vector<uint8_t> bgr(size_t(width) * height * 3);
    std::mt19937 random(7);
    for (auto& byte : bgr)
        byte = uint8_t(random());
    std::vector<uint8_t> out(converter.frameBytes());
    for (auto _ : state) {
        converter.convert(bgr.data(), out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::pair<uint32_t, const char*> formats[] = {
        {SPA_VIDEO_FORMAT_BGR, "BGR"},   {SPA_VIDEO_FORMAT_YUY2, "YUY2"}, {SPA_VIDEO_FORMAT_I420, "I420"},
        {SPA_VIDEO_FORMAT_NV12, "NV12"}, {SPA_VIDEO_FORMAT_BGRx, "BGRx"}, {SPA_VIDEO_FORMAT_RGBx, "RGBx"}};
    for (const auto& [format, name] : formats)
        for (const auto& [width, height] : {std::pair{1280, 720}, std::pair{1920, 1080}})
            benchmark::RegisterBenchmark(
                (std::string("convert/") + name + "/" + std::to_string(width) + "x" + std::to_string(height)).c_str(),
                convertFrame, format, width, height)
                ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
