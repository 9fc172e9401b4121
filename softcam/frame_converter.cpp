#include "frame_converter.h"

#include <algorithm>
#include <cstring>

#include <spa/param/video/raw.h>

namespace {

uint8_t luma(int b, int g, int r)
{
    return uint8_t(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}

struct Chroma {
    uint8_t u;
    uint8_t v;
};

// Chroma of the pixels in columns x, x1 and rows y, y1 (equal for edges).
Chroma chroma(const uint8_t* bgr, int width, int x, int x1, int y, int y1)
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

void toLumaPlane(const uint8_t* bgr, size_t pixels, uint8_t* y)
{
    for (size_t i = 0; i < pixels; ++i, bgr += 3)
        y[i] = luma(bgr[0], bgr[1], bgr[2]);
}

// I420 (separate U and V planes) or NV12 (one interleaved UV plane).
void toChroma420(const uint8_t* bgr, int width, int height, uint8_t* u, uint8_t* v, int step)
{
    for (int y = 0; y < height; y += 2) {
        const int y1 = std::min(y + 1, height - 1);
        for (int x = 0; x < width; x += 2, u += step, v += step) {
            const Chroma c = chroma(bgr, width, x, std::min(x + 1, width - 1), y, y1);
            *u = c.u;
            *v = c.v;
        }
    }
}

void toYuy2(const uint8_t* bgr, int width, int height, uint8_t* out)
{
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bgr + size_t(y) * width * 3;
        for (int x = 0; x < width; x += 2, out += 4) {
            const int x1 = std::min(x + 1, width - 1);
            const Chroma c = chroma(bgr, width, x, x1, y, y);
            out[0] = luma(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
            out[1] = c.u;
            out[2] = luma(row[x1 * 3], row[x1 * 3 + 1], row[x1 * 3 + 2]);
            out[3] = c.v;
        }
    }
}

// BGRx, or RGBx when `swap` exchanges red and blue.
void toFourBytes(const uint8_t* bgr, size_t pixels, uint8_t* out, bool swap)
{
    for (size_t i = 0; i < pixels; ++i, bgr += 3, out += 4) {
        out[0] = swap ? bgr[2] : bgr[0];
        out[1] = bgr[1];
        out[2] = swap ? bgr[0] : bgr[2];
        out[3] = 0xFF;
    }
}

} // namespace

const std::array<uint32_t, 6>& FrameConverter::formats()
{
    // BGR first: it needs no conversion at all.
    static constexpr std::array<uint32_t, 6> kFormats{
        SPA_VIDEO_FORMAT_BGR,  SPA_VIDEO_FORMAT_YUY2, SPA_VIDEO_FORMAT_I420,
        SPA_VIDEO_FORMAT_NV12, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_RGBx};
    return kFormats;
}

bool FrameConverter::configure(uint32_t spaFormat, int width, int height)
{
    m_frameBytes = 0;
    m_stride = 0;
    if (width < 1 || height < 1)
        return false;
    const size_t pixels = size_t(width) * size_t(height);
    const size_t chroma = size_t((width + 1) / 2) * size_t((height + 1) / 2);
    switch (spaFormat) {
    case SPA_VIDEO_FORMAT_BGR:
        m_stride = width * 3;
        m_frameBytes = pixels * 3;
        break;
    case SPA_VIDEO_FORMAT_BGRx:
    case SPA_VIDEO_FORMAT_RGBx:
        m_stride = width * 4;
        m_frameBytes = pixels * 4;
        break;
    case SPA_VIDEO_FORMAT_YUY2:
        m_stride = (width + 1) / 2 * 4;
        m_frameBytes = size_t(m_stride) * size_t(height);
        break;
    case SPA_VIDEO_FORMAT_I420:
    case SPA_VIDEO_FORMAT_NV12:
        m_stride = width;
        m_frameBytes = pixels + 2 * chroma;
        break;
    default:
        return false;
    }
    m_format = spaFormat;
    m_width = width;
    m_height = height;
    return true;
}

void FrameConverter::convert(const uint8_t* bgr, uint8_t* out) const
{
    const size_t pixels = size_t(m_width) * size_t(m_height);
    const size_t chroma = size_t((m_width + 1) / 2) * size_t((m_height + 1) / 2);
    switch (m_format) {
    case SPA_VIDEO_FORMAT_BGR:
        std::memcpy(out, bgr, m_frameBytes);
        break;
    case SPA_VIDEO_FORMAT_BGRx:
    case SPA_VIDEO_FORMAT_RGBx:
        toFourBytes(bgr, pixels, out, m_format == SPA_VIDEO_FORMAT_RGBx);
        break;
    case SPA_VIDEO_FORMAT_YUY2:
        toYuy2(bgr, m_width, m_height, out);
        break;
    case SPA_VIDEO_FORMAT_I420:
        toLumaPlane(bgr, pixels, out);
        toChroma420(bgr, m_width, m_height, out + pixels, out + pixels + chroma, 1);
        break;
    case SPA_VIDEO_FORMAT_NV12:
        toLumaPlane(bgr, pixels, out);
        toChroma420(bgr, m_width, m_height, out + pixels, out + pixels + 1, 2);
        break;
    default:
        break;
    }
}
