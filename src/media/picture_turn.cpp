#include "media/picture_turn.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

int quarterTurn(double clockwiseDegrees)
{
    if (!std::isfinite(clockwiseDegrees))
        return 0;
    const double quarters = std::round(std::fmod(clockwiseDegrees, 360.0) / 90.0);
    return (static_cast<int>(quarters) + 4) % 4 * 90;
}

// Destination pixel (x, y) comes from source pixel base + y * rowStep +
// x * columnStep; tiles keep the source reads in cache.
void turnPicture(const uint8_t* src, int width, int height, int degrees, uint8_t* dst)
{
    const std::ptrdiff_t w = width;
    const std::ptrdiff_t h = height;
    std::ptrdiff_t base = w - 1, rowStep = -1, columnStep = w;  // 270
    if (degrees == 90) {
        base = (h - 1) * w, rowStep = 1, columnStep = -w;
    } else if (degrees == 180) {
        base = w * h - 1, rowStep = -w, columnStep = -1;
    }
    const std::ptrdiff_t dstWidth = degrees == 180 ? w : h;
    const std::ptrdiff_t dstHeight = degrees == 180 ? h : w;
    constexpr std::ptrdiff_t kTile = 32;
    for (std::ptrdiff_t tileY = 0; tileY < dstHeight; tileY += kTile) {
        for (std::ptrdiff_t tileX = 0; tileX < dstWidth; tileX += kTile) {
            const std::ptrdiff_t endY = std::min(tileY + kTile, dstHeight);
            const std::ptrdiff_t endX = std::min(tileX + kTile, dstWidth);
            for (std::ptrdiff_t y = tileY; y < endY; ++y) {
                uint8_t* out = dst + (y * dstWidth + tileX) * 3;
                for (std::ptrdiff_t x = tileX; x < endX; ++x) {
                    const uint8_t* p = src + (base + y * rowStep + x * columnStep) * 3;
                    *out++ = p[0];
                    *out++ = p[1];
                    *out++ = p[2];
                }
            }
        }
    }
}
