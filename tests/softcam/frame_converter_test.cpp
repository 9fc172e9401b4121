#include "frame_converter.h"

#include <spa/param/video/raw.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// The converter as first written, one pixel at a time with every edge clamped
// per pixel: slow, plainly right, and what the fast one must match byte for
// byte.
namespace reference {

uint8_t luma(int b, int g, int r)
{
    return uint8_t(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}

// U and V of the pixels in columns x, x1 and rows y, y1 (equal at edges).
std::pair<uint8_t, uint8_t> chroma(const uint8_t* bgr, int width, int x, int x1, int y, int y1)
{
    int b = 0, g = 0, r = 0;
    for (const int row : {y, y1})
        for (const int column : {x, x1}) {
            const uint8_t* p = bgr + (size_t(row) * width + column) * 3;
            b += p[0], g += p[1], r += p[2];
        }
    b = (b + 2) >> 2, g = (g + 2) >> 2, r = (r + 2) >> 2;
    return {uint8_t(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128),
            uint8_t(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128)};
}

std::vector<uint8_t> convert(spa_video_format format, const std::vector<uint8_t>& bgr, int width,
                             int height)
{
    std::vector<uint8_t> out;
    const auto pixel = [&](int x, int y) { return bgr.data() + (size_t(y) * width + x) * 3; };
    switch (format) {
    case SPA_VIDEO_FORMAT_BGR:
        return bgr;
    case SPA_VIDEO_FORMAT_BGRx:
    case SPA_VIDEO_FORMAT_RGBx:
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = pixel(x, y);
                if (format == SPA_VIDEO_FORMAT_BGRx)
                    out.insert(out.end(), {p[0], p[1], p[2], 0xFF});
                else
                    out.insert(out.end(), {p[2], p[1], p[0], 0xFF});
            }
        return out;
    case SPA_VIDEO_FORMAT_YUY2:
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; x += 2) {
                const int x1 = std::min(x + 1, width - 1);
                const auto [u, v] = chroma(bgr.data(), width, x, x1, y, y);
                const uint8_t* p0 = pixel(x, y);
                const uint8_t* p1 = pixel(x1, y);
                out.insert(out.end(), {luma(p0[0], p0[1], p0[2]), u, luma(p1[0], p1[1], p1[2]), v});
            }
        return out;
    case SPA_VIDEO_FORMAT_I420:
    case SPA_VIDEO_FORMAT_NV12: {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = pixel(x, y);
                out.push_back(luma(p[0], p[1], p[2]));
            }
        std::vector<uint8_t> us, vs;
        for (int y = 0; y < height; y += 2)
            for (int x = 0; x < width; x += 2) {
                const auto [u, v] = chroma(bgr.data(), width, x, std::min(x + 1, width - 1), y,
                                           std::min(y + 1, height - 1));
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
    }
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
TEST(FrameConverter, MatchesThePlainConversionByteForByte)
{
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
            const auto mismatch = std::mismatch(expected.begin(), expected.end(), out.begin());
            EXPECT_TRUE(mismatch.first == expected.end())
                << "first difference at byte " << (mismatch.first - expected.begin()) << ": "
                << int(*mismatch.second) << " instead of " << int(*mismatch.first);
        }
}

TEST(FrameConverter, RefusesFormatsAndSizesItDoesNotServe)
{
    FrameConverter converter;
    EXPECT_FALSE(converter.configure(SPA_VIDEO_FORMAT_UYVY, 4, 4));
    EXPECT_FALSE(converter.configure(SPA_VIDEO_FORMAT_I420, 0, 4));
    EXPECT_EQ(converter.frameBytes(), 0u);
}

TEST(FrameConverter, KeepsColoursInEveryFormat)
{
    // One flat colour, B=40 G=120 R=200: BT.601 studio range Y 132, U 81, V 169.
    constexpr int kWidth = 4, kHeight = 2;
    std::vector<uint8_t> bgr;
    for (int i = 0; i < kWidth * kHeight; ++i)
        bgr.insert(bgr.end(), {40, 120, 200});
    struct Case {
        spa_video_format format;
        std::vector<uint8_t> firstBytes;
        int tolerance;
    };
    const Case cases[] = {
        {SPA_VIDEO_FORMAT_BGR, {40, 120, 200, 40}, 0},
        {SPA_VIDEO_FORMAT_BGRx, {40, 120, 200}, 0},
        {SPA_VIDEO_FORMAT_RGBx, {200, 120, 40}, 0},
        {SPA_VIDEO_FORMAT_YUY2, {132, 81, 132, 169}, 1},
        {SPA_VIDEO_FORMAT_I420, {132, 132, 132, 132, 132, 132, 132, 132, 81, 81, 169, 169}, 1},
        {SPA_VIDEO_FORMAT_NV12, {132, 132, 132, 132, 132, 132, 132, 132, 81, 169, 81, 169}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        FrameConverter converter;
        ASSERT_TRUE(converter.configure(c.format, kWidth, kHeight));
        std::vector<uint8_t> out(converter.frameBytes());
        converter.convert(bgr.data(), out.data());
        for (size_t i = 0; i < c.firstBytes.size(); ++i)
            EXPECT_NEAR(out[i], c.firstBytes[i], c.tolerance) << "byte " << i;
    }
}

} // namespace
