#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Reads back the picture of the generated clips (tests/fixtures) from a Frame of
// any size, scaled too, but not letterboxed, mirrored or turned.
namespace frame_marks {

// The frame index drawn, or -1 unless the top quarter holds eight clearly black
// or white blocks (the mean of a 5 x 5 patch in each one's middle).
inline int readFrameMark(const uint8_t* bgr, int width, int height)
{
    if (bgr == nullptr || width < 16 || height < 8)
        return -1;
    int index = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int x = (2 * bit + 1) * width / 16, y = height / 8;
        int sum = 0, count = 0;
        for (int py = std::max(y - 2, 0); py <= std::min(y + 2, height - 1); ++py)
            for (int px = std::max(x - 2, 0); px <= std::min(x + 2, width - 1); ++px)
                for (int c = 0; c < 3; ++c, ++count)
                    sum += bgr[(static_cast<std::size_t>(py) * width + px) * 3 + c];
        const int level = sum / count;
        if (level > 170)
            index |= 1 << (7 - bit);
        else if (level >= 85)
            return -1;
    }
    return index;
}

// Whether the middle of every bar, and the last column of the white one, is
// within 40 of its colour in every channel.
inline bool barsPresent(const uint8_t* bgr, int width, int height)
{
    static const uint8_t kBars[5][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {255, 255, 255}};  // BGR
    const uint8_t* row = bgr + static_cast<std::size_t>(height * 5 / 8) * width * 3;
    for (int bar = 0; bar < 5; ++bar) {
        const uint8_t* p = row + (bar < 4 ? (2 * bar + 1) * width / 8 : width - 1) * 3;
        for (int c = 0; c < 3; ++c)
            if (std::abs(p[c] - kBars[bar][c]) > 40)
                return false;
    }
    return true;
}

}  // namespace frame_marks
