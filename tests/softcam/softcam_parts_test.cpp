// The camera's parts on their own: converter, mailbox and pacer.
#include "frame_converter.h"
#include "frame_mailbox.h"
#include "frame_pacer.h"

#include <spa/param/video/raw.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

namespace {

// The converter as first written, one pixel at a time with every edge clamped
// per pixel: slow, plainly right, and what the fast one must match byte for byte.
std::vector<uint8_t> referenceConvert(uint32_t format, const std::vector<uint8_t>& bgr, int width, int height)
{
    const auto pixel = [&](int x, int y) {
        return bgr.data() + (size_t(std::min(y, height - 1)) * width + std::min(x, width - 1)) * 3;
    };
    const auto luma = [&](int x, int y) {
        const uint8_t* p = pixel(x, y);
        return uint8_t(((66 * p[2] + 129 * p[1] + 25 * p[0] + 128) >> 8) + 16);
    };
    // U and V of the two pixels from (x, y) and the two from (x, y + down).
    const auto chroma = [&](int x, int y, int down) {
        int b = 2, g = 2, r = 2;
        for (const uint8_t* p : {pixel(x, y), pixel(x + 1, y), pixel(x, y + down), pixel(x + 1, y + down)})
            b += p[0], g += p[1], r += p[2];
        b >>= 2, g >>= 2, r >>= 2;
        return std::pair{uint8_t(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128),
                         uint8_t(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128)};
    };
    // The subsampled formats are padded to even sizes; the clamp repeats the edge.
    const int evenWidth = width + width % 2, evenHeight = height + height % 2;
    std::vector<uint8_t> out, us, vs;
    if (format == SPA_VIDEO_FORMAT_BGR)
        return bgr;
    const bool rgb = format == SPA_VIDEO_FORMAT_RGBx;
    if (rgb || format == SPA_VIDEO_FORMAT_BGRx)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = pixel(x, y);
                out.insert(out.end(), {p[rgb ? 2 : 0], p[1], p[rgb ? 0 : 2], 0xFF});
            }
    if (format == SPA_VIDEO_FORMAT_YUY2)
        for (int y = 0; y < evenHeight; ++y)
            for (int x = 0; x < evenWidth; x += 2) {
                const auto [u, v] = chroma(x, y, 0);
                out.insert(out.end(), {luma(x, y), u, luma(x + 1, y), v});
            }
    if (format != SPA_VIDEO_FORMAT_I420 && format != SPA_VIDEO_FORMAT_NV12)
        return out;
    for (int y = 0; y < evenHeight; ++y)
        for (int x = 0; x < evenWidth; ++x)
            out.push_back(luma(x, y));
    for (int y = 0; y < evenHeight; y += 2)
        for (int x = 0; x < evenWidth; x += 2) {
            const auto [u, v] = chroma(x, y, 1);
            if (format == SPA_VIDEO_FORMAT_NV12)
                out.insert(out.end(), {u, v});
            us.push_back(u), vs.push_back(v);
        }
    for (const auto* plane : {&us, &vs})
        if (format == SPA_VIDEO_FORMAT_I420)
            out.insert(out.end(), plane->begin(), plane->end());
    return out;
}

// Noise reaches every channel value, so every product and rounding is exercised; the sizes cover odd
// edges, rows shorter than, equal to and longer than the converter's blocks, and the camera's sizes.
// Guard bytes after the frame catch writes past its end.
TEST(FrameConverter, MatchesThePlainConversionByteForByteAndRefusesTheRest)
{
    EXPECT_FALSE(FrameConverter().configure(SPA_VIDEO_FORMAT_UYVY, 4, 4));
    EXPECT_FALSE(FrameConverter().configure(SPA_VIDEO_FORMAT_I420, 0, 4));
    std::mt19937 random(2024);
    const std::pair<int, int> sizes[] = {{1, 1},  {2, 1},  {1, 2},  {3, 3},  {5, 3},   {31, 5},
                                         {32, 2}, {33, 3}, {63, 4}, {65, 7}, {97, 1},  {641, 3},
                                         {1280, 4}, {1920, 2}};
    for (const auto format : FrameConverter::formats())
        for (const auto& [width, height] : sizes) {
            SCOPED_TRACE(testing::Message() << format << " " << width << "x" << height);
            std::vector<uint8_t> bgr(size_t(width) * height * 3);
            for (auto& byte : bgr)
                byte = uint8_t(random());
            // The extremes of every channel at once, where overflow would show.
            for (size_t i = 0; i < bgr.size() && i < 12; ++i)
                bgr[i] = (i / 3) % 2 ? 255 : 0;
            FrameConverter converter;
            ASSERT_TRUE(converter.configure(format, width, height));
            const std::vector<uint8_t> expected = referenceConvert(format, bgr, width, height);
            ASSERT_EQ(converter.frameBytes(), expected.size());
            std::vector<uint8_t> out(expected.size() + 64, 0xEE);
            converter.convert(bgr.data(), out.data());
            EXPECT_TRUE(std::all_of(out.begin() + expected.size(), out.end(), [](uint8_t b) { return b == 0xEE; }))
                << "wrote past the frame";
            const auto differs = std::mismatch(expected.begin(), expected.end(), out.begin()).first;
            EXPECT_EQ(differs, expected.end()) << "first difference at byte " << (differs - expected.begin());
        }
}

// The layout WebRTC and libyuv read: planes back to back, rows tightly packed, chroma rows half as
// wide; subsampled formats at even sizes (Chromium aborts on odd ones), RGB at the size given.
TEST(FrameConverter, LaysOutFramesAtTheSizesBrowsersTake)
{
    const struct {
        uint32_t format;
        int width, height, outWidth, outHeight, stride;
        size_t bytes;
    } cases[] = {
        {SPA_VIDEO_FORMAT_I420, 334, 222, 334, 222, 334, 334 * 222 * 3 / 2},
        {SPA_VIDEO_FORMAT_I420, 333, 222, 334, 222, 334, 334 * 222 * 3 / 2},
        {SPA_VIDEO_FORMAT_NV12, 334, 223, 334, 224, 334, 334 * 224 * 3 / 2},
        {SPA_VIDEO_FORMAT_YUY2, 333, 223, 334, 224, 668, 668 * 224},
        {SPA_VIDEO_FORMAT_BGR, 333, 223, 333, 223, 999, 999 * 223},
        {SPA_VIDEO_FORMAT_RGBx, 1, 1, 1, 1, 4, 4},
        {SPA_VIDEO_FORMAT_I420, 1, 1, 2, 2, 2, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << c.width << "x" << c.height);
        EXPECT_EQ(FrameConverter::outputSize(c.format, c.width, c.height),
                  (FrameConverter::Size{c.outWidth, c.outHeight}));
        FrameConverter converter;
        ASSERT_TRUE(converter.configure(c.format, c.width, c.height));
        EXPECT_EQ(converter.stride(), c.stride);
        EXPECT_EQ(converter.frameBytes(), c.bytes);
    }
    // 3 x 3 grey ramp in I420: the fourth column and row repeat the third.
    std::vector<uint8_t> bgr;
    for (const int grey : {0, 90, 180, 30, 120, 210, 60, 150, 240})
        bgr.insert(bgr.end(), 3, uint8_t(grey));
    FrameConverter converter;
    ASSERT_TRUE(converter.configure(SPA_VIDEO_FORMAT_I420, 3, 3));
    std::vector<uint8_t> y(converter.frameBytes());
    converter.convert(bgr.data(), y.data());
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(y[i * 4 + 3] == y[i * 4 + 2] && y[12 + i] == y[8 + i]) << "row/column " << i;
    EXPECT_NE(y[10], y[9]);
}

// Flat colours in BT.601 studio range at an odd size (padded to 6 x 4, edge repeated); red and blue
// apart catch a swap. The reference above shares the matrix, so this pins it down.
TEST(FrameConverter, KeepsColours)
{
    const uint8_t colours[][6] = {   // B, G, R -> Y, U, V
        {0, 0, 255, 82, 90, 240}, {0, 255, 0, 144, 54, 34}, {255, 0, 0, 41, 240, 110},
        {255, 255, 255, 235, 128, 128}, {40, 120, 200, 132, 81, 169}};
    for (const auto format : {SPA_VIDEO_FORMAT_YUY2, SPA_VIDEO_FORMAT_I420})
        for (const auto& c : colours) {
            SCOPED_TRACE(testing::Message() << format << " " << int(c[3]));
            std::vector<uint8_t> bgr;
            for (int i = 0; i < 5 * 3; ++i)
                bgr.insert(bgr.end(), c, c + 3);
            FrameConverter converter;
            ASSERT_TRUE(converter.configure(format, 5, 3));
            std::vector<uint8_t> out(converter.frameBytes());
            ASSERT_EQ(out.size(), format == SPA_VIDEO_FORMAT_YUY2 ? 48u : 36u);  // 6 x 4
            converter.convert(bgr.data(), out.data());
            const uint8_t yuy2[4] = {c[3], c[4], c[3], c[5]};  // I420: 24 Y, 6 U, 6 V
            for (size_t i = 0; i < out.size(); ++i)
                EXPECT_EQ(out[i], format == SPA_VIDEO_FORMAT_YUY2 ? yuy2[i % 4] : c[3 + (i >= 24) + (i >= 30)]) << i;
        }
}

// Each frame is its sequence number repeated; a torn frame mixes two. Before
// the first one, the mailbox holds a black frame (0).
TEST(FrameMailbox, ReaderSeesWholeFramesNeverOlderThanTheLastOne)
{
    constexpr size_t kWords = 4096;
    constexpr uint32_t kFrames = 3000;
    FrameMailbox mailbox(kWords * sizeof(uint32_t));
    EXPECT_TRUE(std::all_of(mailbox.latest(), mailbox.latest() + kWords * 4, [](uint8_t b) { return b == 0; }));
    std::thread writer([&] {
        std::vector<uint32_t> frame(kWords);
        for (uint32_t n = 1; n <= kFrames; ++n) {
            std::fill(frame.begin(), frame.end(), n);
            mailbox.post(reinterpret_cast<const uint8_t*>(frame.data()));
        }
    });
    uint32_t last = 0;
    bool whole = true, ordered = true;
    std::vector<uint32_t> words(kWords);
    while (last < kFrames && whole && ordered) {
        std::memcpy(words.data(), mailbox.latest(), kWords * sizeof(uint32_t));
        whole = std::all_of(words.begin(), words.end(), [&](uint32_t w) { return w == words[0]; });
        ordered = words[0] >= last;
        last = words[0];
    }
    writer.join();
    EXPECT_TRUE(whole) << "torn frame";
    EXPECT_TRUE(ordered) << "an older frame after a newer one";
}

// 30000/1001 must not be paced as 30: the lower bound tells them apart.
TEST(FramePacer, NeverReturnsBeforeTheFrameTime)
{
    for (const double fps : {120.0, 30000.0 / 1001.0}) {
        SCOPED_TRACE(fps);
        FramePacer pacer(fps);
        constexpr int kFrames = 12;
        pacer.waitForNextFrame();   // the first frame goes at once
        const auto start = Clock::now();
        for (int i = 1; i < kFrames; ++i)
            pacer.waitForNextFrame();
        EXPECT_GE(Seconds(Clock::now() - start).count(), (kFrames - 1) / fps);
    }
}

TEST(FramePacer, SenderThatFellBehindContinuesFromNow)
{
    constexpr double kFps = 100;
    FramePacer pacer(kFps);
    pacer.waitForNextFrame();
    // A slow decode: twenty frame times pass without a frame.
    std::this_thread::sleep_for(Seconds(20 / kFps));
    const auto resumed = Clock::now();
    for (int i = 0; i < 5; ++i)   // the first is late and returns at once; catching up would return all five
        pacer.waitForNextFrame();
    EXPECT_GE(Seconds(Clock::now() - resumed).count(), 4 / kFps);
}

} // namespace
