// CPU time per output frame of the camera thread's work: fitting and
// mirroring, and decoding plus fitting of a 1080p clip. Each case is followed
// by the memcpy of one output frame, the floor any fitting is measured against.
#include "camera/frame_fitter.h"
#include "media/picture.h"
#include "media/video_decoder.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> pattern(int width, int height)
{
    std::vector<uint8_t> frame(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(i * 7 + i / 3);
    return frame;
}

void fit(benchmark::State& state, int sw, int sh, int cw, int ch, bool mirror)
{
    PictureRows source;
    source.setPicture(std::make_shared<FramePicture>(pattern(sw, sh), sw, sh));
    FrameFitter fitter;
    for (auto _ : state)
        benchmark::DoNotOptimize(fitter.fit(source, cw, ch, false, mirror));
}

void copyFloor(benchmark::State& state, int cw, int ch)
{
    const std::vector<uint8_t> source = pattern(cw, ch);
    std::vector<uint8_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::ClobberMemory();
    }
}

// Decoding may use FFmpeg's own threads: process CPU time counts them too.
// Alone, the whole picture is converted; fitted, only the rows sampled.
void decodeAndFit(benchmark::State& state, bool withFit)
{
    const std::string path = ORVENNA_BENCH_CLIP;
    VideoDecoder decoder;
    if (!decoder.Open(std::wstring(path.begin(), path.end()).c_str())) {
        state.SkipWithError("cannot open the benchmark clip");
        return;
    }
    PictureRows source;
    FrameFitter fitter;
    for (auto _ : state) {
        std::shared_ptr<const Picture> picture = decoder.ReadPicture();
        if (!picture) {
            decoder.SeekToStart();
            picture = decoder.ReadPicture();
        }
        source.setPicture(std::move(picture));
        if (withFit)
            benchmark::DoNotOptimize(fitter.fit(source, 1280, 720, false, true));
        else
            source.prepareAll();
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("fit+mirror 1920x1080->1280x720", fit, 1920, 1080, 1280, 720, true);
    benchmark::RegisterBenchmark("  memcpy 1280x720", copyFloor, 1280, 720);
    benchmark::RegisterBenchmark("fit+mirror 3840x2160->1920x1080", fit, 3840, 2160, 1920, 1080, true);
    benchmark::RegisterBenchmark("  memcpy 1920x1080", copyFloor, 1920, 1080);
    benchmark::RegisterBenchmark("mirror 1280x720->1280x720", fit, 1280, 720, 1280, 720, true);
    benchmark::RegisterBenchmark("  memcpy 1280x720", copyFloor, 1280, 720);
    benchmark::RegisterBenchmark("decode 1080p", decodeAndFit, false)->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark("decode 1080p+fit+mirror->1280x720", decodeAndFit, true)->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark("  memcpy 1280x720", copyFloor, 1280, 720);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
