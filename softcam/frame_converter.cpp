#include "frame_converter.h"

#include <cstring>

#include <spa/param/video/raw.h>

namespace {

int roundUpToEven(int n)
{
    return n + n % 2;
}

// BT.601 studio range in 8-bit fixed point. The +16 and +128 offsets are
// folded in before the shift, so every intermediate stays within 0..65535:
// the compiler may then work on 16-bit lanes. The results are unchanged.
inline uint8_t luma(unsigned b, unsigned g, unsigned r)
{
    return uint8_t(uint16_t(66 * r + 129 * g + 25 * b + (128 + (16 << 8))) >> 8);
}

// From channel averages.
inline uint8_t chromaU(unsigned b, unsigned g, unsigned r)
{
    return uint8_t(uint16_t(112 * b + (128 + (128 << 8)) - 38 * r - 74 * g) >> 8);
}

inline uint8_t chromaV(unsigned b, unsigned g, unsigned r)
{
    return uint8_t(uint16_t(112 * r + (128 + (128 << 8)) - 94 * g - 18 * b) >> 8);
}

// Rows go in blocks of a fixed number of pixels: each block's bytes are first
// split into one array per channel, then the arithmetic runs over those arrays.
// Without SSSE3 the vectoriser cannot split 3-byte pixels itself, and at -O2
// GCC vectorises only loops with a fixed trip count. What is left of a row
// goes through the same formulas one pixel at a time.
constexpr int kBlock = 16;

// Writes `width` rounded up to even luma bytes.
void toLumaRow(const uint8_t* __restrict bgr, uint8_t* __restrict y, int width)
{
    int x = 0;
    for (; x + kBlock <= width; x += kBlock, bgr += kBlock * 3, y += kBlock) {
        uint16_t b[kBlock], g[kBlock], r[kBlock];
        for (int i = 0; i < kBlock; ++i)
            b[i] = bgr[3 * i], g[i] = bgr[3 * i + 1], r[i] = bgr[3 * i + 2];
        for (int i = 0; i < kBlock; ++i)
            y[i] = luma(b[i], g[i], r[i]);
    }
    for (; x < width; ++x, bgr += 3, ++y)
        *y = luma(bgr[0], bgr[1], bgr[2]);
    if (width % 2)   // the padding column repeats the edge
        *y = y[-1];
}

// Chroma of 2 x 2 blocks from rows `top` and `bottom` (the same row for the
// last of an odd height), into `u` and `v` every `step` bytes: I420 (separate
// planes, step 1) or NV12 (one interleaved plane, step 2).
template <int step>
void toChroma420Row(const uint8_t* __restrict top, const uint8_t* __restrict bottom,
                    uint8_t* __restrict u, uint8_t* __restrict v, int width)
{
    const int pairs = width / 2;
    int i = 0;
    for (; i + kBlock <= pairs; i += kBlock, top += kBlock * 6, bottom += kBlock * 6,
                                u += kBlock * step, v += kBlock * step) {
        uint16_t b[kBlock], g[kBlock], r[kBlock];
        for (int j = 0; j < kBlock; ++j) {
            const uint8_t* t = top + 6 * j;
            const uint8_t* d = bottom + 6 * j;
            b[j] = uint16_t(t[0] + t[3] + d[0] + d[3]);
            g[j] = uint16_t(t[1] + t[4] + d[1] + d[4]);
            r[j] = uint16_t(t[2] + t[5] + d[2] + d[5]);
        }
        for (int j = 0; j < kBlock; ++j) {
            const unsigned bb = (b[j] + 2u) >> 2, gg = (g[j] + 2u) >> 2, rr = (r[j] + 2u) >> 2;
            u[j * step] = chromaU(bb, gg, rr);
            v[j * step] = chromaV(bb, gg, rr);
        }
    }
    for (; i < pairs; ++i, top += 6, bottom += 6, u += step, v += step) {
        const unsigned b = (top[0] + top[3] + bottom[0] + bottom[3] + 2u) >> 2;
        const unsigned g = (top[1] + top[4] + bottom[1] + bottom[4] + 2u) >> 2;
        const unsigned r = (top[2] + top[5] + bottom[2] + bottom[5] + 2u) >> 2;
        *u = chromaU(b, g, r);
        *v = chromaV(b, g, r);
    }
    if (width % 2) {   // the last column stands in for its missing neighbour
        const unsigned b = (top[0] + bottom[0] + 1u) >> 1;
        const unsigned g = (top[1] + bottom[1] + 1u) >> 1;
        const unsigned r = (top[2] + bottom[2] + 1u) >> 1;
        *u = chromaU(b, g, r);
        *v = chromaV(b, g, r);
    }
}

// Row by row pair, so that chroma reads rows luma has just brought into cache.
// Of an odd height, the last row is also the padding row below it.
template <int step>
void toYuv420(const uint8_t* bgr, int width, int height, uint8_t* y, uint8_t* u, uint8_t* v)
{
    const size_t rowBytes = size_t(width) * 3;
    const size_t lumaRow = size_t(roundUpToEven(width));
    const size_t chromaRow = lumaRow / 2 * step;
    for (int row = 0; row < height; row += 2, y += 2 * lumaRow, u += chromaRow, v += chromaRow) {
        const uint8_t* top = bgr + row * rowBytes;
        const uint8_t* bottom = row + 1 < height ? top + rowBytes : top;
        toLumaRow(top, y, width);
        toLumaRow(bottom, y + lumaRow, width);
        toChroma420Row<step>(top, bottom, u, v, width);
    }
}

void toYuy2Row(const uint8_t* __restrict bgr, uint8_t* __restrict out, int width)
{
    const int pairs = width / 2;
    int i = 0;
    for (; i + kBlock <= pairs; i += kBlock, bgr += kBlock * 6, out += kBlock * 4) {
        uint16_t b0[kBlock], g0[kBlock], r0[kBlock], b1[kBlock], g1[kBlock], r1[kBlock];
        for (int j = 0; j < kBlock; ++j) {
            const uint8_t* p = bgr + 6 * j;
            b0[j] = p[0], g0[j] = p[1], r0[j] = p[2];
            b1[j] = p[3], g1[j] = p[4], r1[j] = p[5];
        }
        for (int j = 0; j < kBlock; ++j) {
            const unsigned b = (b0[j] + b1[j] + 1u) >> 1;
            const unsigned g = (g0[j] + g1[j] + 1u) >> 1;
            const unsigned r = (r0[j] + r1[j] + 1u) >> 1;
            out[4 * j] = luma(b0[j], g0[j], r0[j]);
            out[4 * j + 1] = chromaU(b, g, r);
            out[4 * j + 2] = luma(b1[j], g1[j], r1[j]);
            out[4 * j + 3] = chromaV(b, g, r);
        }
    }
    for (; i < pairs; ++i, bgr += 6, out += 4) {
        const unsigned b = (bgr[0] + bgr[3] + 1u) >> 1;
        const unsigned g = (bgr[1] + bgr[4] + 1u) >> 1;
        const unsigned r = (bgr[2] + bgr[5] + 1u) >> 1;
        out[0] = luma(bgr[0], bgr[1], bgr[2]);
        out[1] = chromaU(b, g, r);
        out[2] = luma(bgr[3], bgr[4], bgr[5]);
        out[3] = chromaV(b, g, r);
    }
    if (width % 2) {   // the pair with the padding column: the last pixel fills both halves
        out[0] = out[2] = luma(bgr[0], bgr[1], bgr[2]);
        out[1] = chromaU(bgr[0], bgr[1], bgr[2]);
        out[3] = chromaV(bgr[0], bgr[1], bgr[2]);
    }
}

// BGRx, or RGBx when `swap` exchanges red and blue.
template <bool swap>
void toFourBytes(const uint8_t* __restrict bgr, uint8_t* __restrict out, size_t pixels)
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

FrameConverter::Size FrameConverter::outputSize(uint32_t spaFormat, int width, int height)
{
    switch (spaFormat) {
    case SPA_VIDEO_FORMAT_YUY2:
    case SPA_VIDEO_FORMAT_I420:
    case SPA_VIDEO_FORMAT_NV12:
        return {roundUpToEven(width), roundUpToEven(height)};
    default:
        return {width, height};
    }
}

bool FrameConverter::configure(uint32_t spaFormat, int width, int height)
{
    m_frameBytes = 0;
    m_stride = 0;
    if (width < 1 || height < 1)
        return false;
    const Size out = outputSize(spaFormat, width, height);
    const size_t pixels = size_t(out.width) * size_t(out.height);
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
        m_stride = out.width * 2;
        m_frameBytes = pixels * 2;
        break;
    case SPA_VIDEO_FORMAT_I420:
    case SPA_VIDEO_FORMAT_NV12:
        m_stride = out.width;
        m_frameBytes = pixels * 3 / 2;
        break;
    default:
        return false;
    }
    m_format = spaFormat;
    m_width = width;
    m_height = height;
    return true;
}

bool FrameConverter::passesThrough() const
{
    return m_format == SPA_VIDEO_FORMAT_BGR;
}

void FrameConverter::convert(const uint8_t* bgr, uint8_t* out) const
{
    const size_t pixels = size_t(m_width) * size_t(m_height);
    const size_t lumaBytes = size_t(roundUpToEven(m_width)) * size_t(roundUpToEven(m_height));
    switch (m_format) {
    case SPA_VIDEO_FORMAT_BGR:
        std::memcpy(out, bgr, m_frameBytes);
        break;
    case SPA_VIDEO_FORMAT_BGRx:
        toFourBytes<false>(bgr, out, pixels);
        break;
    case SPA_VIDEO_FORMAT_RGBx:
        toFourBytes<true>(bgr, out, pixels);
        break;
    case SPA_VIDEO_FORMAT_YUY2:
        for (int row = 0; row < m_height; ++row)
            toYuy2Row(bgr + size_t(row) * m_width * 3, out + size_t(row) * m_stride, m_width);
        if (m_height % 2)
            std::memcpy(out + size_t(m_height) * m_stride, out + size_t(m_height - 1) * m_stride, size_t(m_stride));
        break;
    case SPA_VIDEO_FORMAT_I420:
        toYuv420<1>(bgr, m_width, m_height, out, out + lumaBytes, out + lumaBytes * 5 / 4);
        break;
    case SPA_VIDEO_FORMAT_NV12:
        toYuv420<2>(bgr, m_width, m_height, out, out + lumaBytes, out + lumaBytes + 1);
        break;
    default:
        break;
    }
}
