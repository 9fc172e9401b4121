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
// per pixel: slow, plainly right, and what the fast one must match byte for
// byte.
namespace reference {

std::vector<uint8_t> convert(spa_video_format format, const std::vector<uint8_t>& bgr, int width,
                             int height)
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
        for (const int row : {y, y + down})
            for (const int column : {x, x + 1}) {
                const uint8_t* p = pixel(column, row);
                b += p[0], g += p[1], r += p[2];
            }
        b >>= 2, g >>= 2, r >>= 2;
        return std::pair{uint8_t(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128),
                         uint8_t(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128)};
    };
    std::vector<uint8_t> out, us, vs;
    switch (format) {
    case SPA_VIDEO_FORMAT_BGR:
        return bgr;
    case SPA_VIDEO_FORMAT_BGRx:
    case SPA_VIDEO_FORMAT_RGBx:
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = pixel(x, y);
                const bool rgb = format == SPA_VIDEO_FORMAT_RGBx;
                out.insert(out.end(), {p[rgb ? 2 : 0], p[1], p[rgb ? 0 : 2], 0xFF});
            }
        return out;
    case SPA_VIDEO_FORMAT_YUY2:
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; x += 2) {
                const auto [u, v] = chroma(x, y, 0);
                out.insert(out.end(), {luma(x, y), u, luma(x + 1, y), v});
            }
        return out;
    case SPA_VIDEO_FORMAT_I420:
    case SPA_VIDEO_FORMAT_NV12:
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                out.push_back(luma(x, y));
        for (int y = 0; y < height; y += 2)
            for (int x = 0; x < width; x += 2) {
                const auto [u, v] = chroma(x, y, 1);
                us.push_back(u);
                vs.push_back(v);
            }
        if (format == SPA_VIDEO_FORMAT_I420) {
            out.insert(out.end(), us.begin(), us.end());
            out.insert(out.end(), vs.begin(), vs.end());
        } else {
            for (size_t i = 0; i < us.size(); ++i)
                out.insert(out.end(), {us[i], vs[i]});
        }
        return out;
    default:
        return {};
    }
}

} // namespace reference

// Noise reaches every channel value, so every product and rounding is
// exercised; the sizes cover odd edges, rows shorter than, equal to and
// longer than the blocks the converter works in, and the camera's sizes.
// Guard bytes after the frame catch writes past its end; the stride is that
// of tightly packed rows (the luma plane's for I420 and NV12).
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
            const std::vector<uint8_t> expected = reference::convert(spa_video_format(format), bgr, width, height);
            ASSERT_EQ(converter.frameBytes(), expected.size());
            const bool planar = format == SPA_VIDEO_FORMAT_I420 || format == SPA_VIDEO_FORMAT_NV12;
            EXPECT_EQ(size_t(converter.stride()), planar ? size_t(width) : expected.size() / height);
            std::vector<uint8_t> out(expected.size() + 64, 0xEE);
            converter.convert(bgr.data(), out.data());
            EXPECT_TRUE(std::all_of(out.begin() + expected.size(), out.end(), [](uint8_t b) { return b == 0xEE; }))
                << "wrote past the frame";
            const auto differs = std::mismatch(expected.begin(), expected.end(), out.begin()).first;
            EXPECT_EQ(differs, expected.end()) << "first difference at byte " << (differs - expected.begin());
        }
}

// One flat colour, B=40 G=120 R=200, is BT.601 studio range Y 132, U 81,
// V 169: this pins down the matrix the reference shares (its layouts are
// plainly written, and the stream test checks them through GStreamer).
TEST(FrameConverter, KeepsColours)
{
    std::vector<uint8_t> bgr;
    for (int i = 0; i < 4 * 2; ++i)
        bgr.insert(bgr.end(), {40, 120, 200});
    FrameConverter converter;
    const uint8_t expected[] = {132, 132, 132, 132, 132, 132, 132, 132, 81, 81, 169, 169};
    ASSERT_TRUE(converter.configure(SPA_VIDEO_FORMAT_I420, 4, 2));
    ASSERT_EQ(converter.frameBytes(), sizeof expected);
    std::vector<uint8_t> out(converter.frameBytes());
    converter.convert(bgr.data(), out.data());
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_NEAR(out[i], expected[i], 1) << "byte " << i;
}

// Each frame is its sequence number repeated; a torn frame mixes two. Before
// the first one, the mailbox holds a black frame (0).
TEST(FrameMailbox, ReaderSeesWholeFramesNeverOlderThanTheLastOne)
{
    constexpr size_t kWords = 4096;
    constexpr uint32_t kFrames = 3000;
    FrameMailbox mailbox(kWords * sizeof(uint32_t));
    const uint8_t* black = mailbox.latest();
    EXPECT_TRUE(std::all_of(black, black + kWords * sizeof(uint32_t), [](uint8_t b) { return b == 0; }));
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

TEST(FramePacer, NeverReturnsBeforeTheFrameTime)
{
    // 30000/1001 must not be paced as 30: the lower bound tells them apart.
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
    pacer.waitForNextFrame();   // late: returns at once
    for (int i = 0; i < 4; ++i)
        pacer.waitForNextFrame();
    // Catching up would return all five at once.
    EXPECT_GE(Seconds(Clock::now() - resumed).count(), 4 / kFps);
}

} // namespace
