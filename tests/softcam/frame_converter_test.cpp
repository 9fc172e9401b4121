#include "frame_converter.h"

#include <spa/param/video/raw.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct LayoutCase {
    spa_video_format format;
    int width;
    int height;
    size_t frameBytes;
    int stride;
};

TEST(FrameConverter, PacksRowsAndPlanesTightly)
{
    const LayoutCase cases[] = {
        {SPA_VIDEO_FORMAT_BGR, 5, 3, 45, 15},
        {SPA_VIDEO_FORMAT_BGRx, 5, 3, 60, 20},
        {SPA_VIDEO_FORMAT_RGBx, 5, 3, 60, 20},
        {SPA_VIDEO_FORMAT_YUY2, 6, 3, 36, 12},
        {SPA_VIDEO_FORMAT_YUY2, 5, 3, 36, 12},   // a half-used pair ends each row
        {SPA_VIDEO_FORMAT_I420, 6, 4, 24 + 2 * 6, 6},
        {SPA_VIDEO_FORMAT_I420, 5, 3, 15 + 2 * 6, 5},   // chroma 3 x 2
        {SPA_VIDEO_FORMAT_NV12, 5, 3, 15 + 12, 5},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << c.width << "x" << c.height);
        FrameConverter converter;
        ASSERT_TRUE(converter.configure(c.format, c.width, c.height));
        EXPECT_EQ(converter.frameBytes(), c.frameBytes);
        EXPECT_EQ(converter.stride(), c.stride);
    }
}

TEST(FrameConverter, WritesOnlyInsideTheFrame)
{
    for (const auto format : FrameConverter::formats())
        for (const int width : {1, 2, 3, 5, 33, 641})
            for (const int height : {1, 2, 3}) {
                SCOPED_TRACE(testing::Message() << format << " " << width << "x" << height);
                FrameConverter converter;
                ASSERT_TRUE(converter.configure(format, width, height));
                std::vector<uint8_t> bgr(size_t(width) * height * 3, 90);
                std::vector<uint8_t> out(converter.frameBytes() + 256, 0xEE);
                converter.convert(bgr.data(), out.data());
                for (size_t i = converter.frameBytes(); i < out.size(); ++i)
                    ASSERT_EQ(out[i], 0xEE) << "wrote past the frame at " << i;
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
