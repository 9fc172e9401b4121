#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Reads back the picture that every generated test clip shows (see
// tests/fixtures/CMakeLists.txt): an 8-bit frame index in the top quarter and
// four colour bars below it. Works on Frames (BGR, stride width * 3) of any
// size, so it also reads pictures that were scaled, as long as they are not
// letterboxed, mirrored or turned.

namespace frame_marks {

struct Bgr {
    uint8_t b, g, r;
};

// The bars, left to right.
inline constexpr Bgr kBars[4] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};

// Mean of the channels over a 5 x 5 patch centred on (x, y), clipped to the picture.
inline int patchLevel(const uint8_t* bgr, int width, int height, int x, int y)
{
    int sum = 0;
    int count = 0;
    for (int py = y - 2; py <= y + 2; ++py) {
        for (int px = x - 2; px <= x + 2; ++px) {
            if (px < 0 || py < 0 || px >= width || py >= height)
                continue;
            const uint8_t* p = bgr + (static_cast<std::size_t>(py) * width + px) * 3;
            sum += p[0] + p[1] + p[2];
            count += 3;
        }
    }
    return sum / count;
}

// The frame index drawn in the picture, or -1 when the top quarter does not
// hold eight clearly black or white blocks.
inline int readFrameMark(const uint8_t* bgr, int width, int height)
{
    if (bgr == nullptr || width < 16 || height < 8)
        return -1;
    const int y = height / 8;  // middle of the mark band
    int index = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int level = patchLevel(bgr, width, height, (2 * bit + 1) * width / 16, y);
        if (level > 170)
            index |= 1 << (7 - bit);
        else if (level >= 85)
            return -1;
    }
    return index;
}

// Whether the pixel at (x, y) is within `tolerance` of `expected` in every channel.
inline bool pixelNear(const uint8_t* bgr, int width, int x, int y, Bgr expected, int tolerance = 40)
{
    const uint8_t* p = bgr + (static_cast<std::size_t>(y) * width + x) * 3;
    return std::abs(p[0] - expected.b) <= tolerance && std::abs(p[1] - expected.g) <= tolerance &&
           std::abs(p[2] - expected.r) <= tolerance;
}

// Whether the middle of every bar shows its colour.
inline bool barsPresent(const uint8_t* bgr, int width, int height, int tolerance = 40)
{
    const int y = height * 5 / 8;
    for (int bar = 0; bar < 4; ++bar) {
        if (!pixelNear(bgr, width, (2 * bar + 1) * width / 8, y, kBars[bar], tolerance))
            return false;
    }
    return true;
}

}  // namespace frame_marks
