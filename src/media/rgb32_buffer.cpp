#include "media/rgb32_buffer.h"

#include <algorithm>
#include <cstring>

uint32_t rgb32RowPitch(uint32_t width, uint32_t height, int32_t stride, uint32_t length)
{
    const uint32_t s = stride < 0 ? 0u - static_cast<uint32_t>(stride) : static_cast<uint32_t>(stride);
    const uint32_t packed = width * 4;
    if (length < height * s)
        return packed;
    if (s != packed)
        return s;
    if (length == height * s)
        return s;
    // Longer than packed rows: the decoder padded them without saying so.
    if (height != 0 && length % height == 0 && length / height >= packed)
        return length / height;
    const uint32_t aligned = (packed + 63) & ~63u;
    return length >= height * aligned ? aligned : s;
}

void copyRgb32ToFrame(const uint8_t* src, uint32_t length, uint32_t pitch,
                      uint32_t width, uint32_t height, uint8_t* frame)
{
    for (uint32_t y = 0; y < height; ++y) {
        // 64-bit offsets: y * pitch may exceed 32 bits for a bogus pitch.
        const uint64_t rowStart = uint64_t(y) * pitch;
        const uint64_t available = rowStart < length ? (length - rowStart) / 4 : 0;
        const uint32_t whole = static_cast<uint32_t>(std::min<uint64_t>(width, available));
        uint8_t* dst = frame + uint64_t(y) * width * 3;
        for (uint32_t x = 0; x < whole; ++x) {
            const uint8_t* pixel = src + rowStart + uint64_t(x) * 4;
            dst[x * 3 + 0] = pixel[0];
            dst[x * 3 + 1] = pixel[1];
            dst[x * 3 + 2] = pixel[2];
        }
        std::memset(dst + uint64_t(whole) * 3, 0, uint64_t(width - whole) * 3);
    }
}
