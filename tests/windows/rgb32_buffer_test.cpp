#include "media/rgb32_buffer.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Rgb32RowPitch, ChoosesThePitchTheBufferHolds)
{
    struct { const char* what; uint32_t width, height; int32_t stride; uint32_t length, pitch; } const cases[] = {
        {"tight rows", 1366, 768, 5464, 768 * 5464, 5464},
        {"rows padded beyond the reported stride", 1366, 768, 5464, 768 * 5504, 5504},
        {"negative stride, tight rows", 1366, 768, -5464, 768 * 5464, 5464},
        {"negative stride, padded rows", 1366, 768, -5464, 768 * 5504, 5504},
        {"short buffer: packed rows", 640, 480, 2816, 1000, 2560},
        {"reported padding is trusted", 640, 480, -2816, 480 * 2816 + 100, 2816},
        {"uneven length holding 64-byte aligned rows", 100, 3, 400, 3 * 448 + 1, 448},
        {"uneven length below aligned rows", 100, 3, 400, 3 * 400 + 1, 400},
        {"no rows: no division by zero", 100, 0, 400, 4000, 448},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rgb32RowPitch(c.width, c.height, c.stride, c.length), c.pitch) << c.what;
}

// 3 x 3 pixels, 16-byte rows; pixel i is (i, 2i, 3i, 0xEE), padding 0xCC.
TEST(CopyRgb32ToFrame, CopiesWholePixelsInsideTheLockedLengthOnly)
{
    std::vector<uint8_t> full(3 * 16, 0xCC);
    for (uint8_t i = 0; i < 9; ++i) {
        uint8_t* p = &full[i / 3 * 16 + i % 3 * 4];
        p[0] = i, p[1] = uint8_t(2 * i), p[2] = uint8_t(3 * i), p[3] = 0xEE;
    }
    struct { const char* what; uint32_t length, pitch, wholePixels; } const cases[] = {
        {"whole buffer", 48, 16, 9},
        {"last row cut to its pixels", 44, 16, 9},
        {"cut inside a pixel", 16 + 4 + 3, 16, 4},
        {"empty", 0, 16, 0},
        {"pitch overflowing 32 bits in y * pitch", 48, 0xFFFFFFFFu, 3},
    };
    for (const auto& c : cases) {
        // Exactly `length` bytes, so any read past them leaves the allocation.
        const std::vector<uint8_t> buffer(full.begin(), full.begin() + c.length);
        std::vector<uint8_t> frame(27, 0xAA);
        copyRgb32ToFrame(buffer.data(), c.length, c.pitch, 3, 3, frame.data());
        std::vector<uint8_t> expected(27, 0);
        for (uint32_t i = 0; i < c.wholePixels; ++i)
            expected[i * 3] = uint8_t(i), expected[i * 3 + 1] = uint8_t(2 * i), expected[i * 3 + 2] = uint8_t(3 * i);
        EXPECT_EQ(frame, expected) << c.what;
    }
}
