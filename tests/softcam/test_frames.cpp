#include "test_frames.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr std::array<std::array<uint8_t, 3>, 4> kQuadrants{{
    {200, 60, 30},   // B, G, R: blue-ish, top left
    {40, 180, 90},   // green-ish, top right
    {20, 50, 220},   // red-ish, bottom left
    {235, 235, 235}, // near white, bottom right
}};

uint8_t clamp8(int v)
{
    return uint8_t(std::clamp(v, 0, 255));
}

void yuvToBgr(int y, int u, int v, uint8_t* bgr)
{
    const int c = y - 16, d = u - 128, e = v - 128;
    bgr[2] = clamp8((298 * c + 409 * e + 128) >> 8);
    bgr[1] = clamp8((298 * c - 100 * d - 208 * e + 128) >> 8);
    bgr[0] = clamp8((298 * c + 516 * d + 128) >> 8);
}

} // namespace

std::vector<uint8_t> quadrantFrame(int width, int height)
{
    std::vector<uint8_t> frame(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto& c = kQuadrants[(y >= height / 2) * 2 + (x >= width / 2)];
            std::copy(c.begin(), c.end(), frame.begin() + (size_t(y) * width + x) * 3);
        }
    return frame;
}

qsizetype packedFrameBytes(const QString& format, int width, int height)
{
    const qsizetype pixels = qsizetype(width) * height;
    const qsizetype chroma = qsizetype((width + 1) / 2) * ((height + 1) / 2);
    if (format == u"BGR")
        return pixels * 3;
    if (format == u"BGRx" || format == u"RGBx")
        return pixels * 4;
    if (format == u"YUY2")
        return qsizetype((width + 1) / 2) * 4 * height;
    return pixels + 2 * chroma;   // I420, NV12
}

std::vector<uint8_t> decodeToBgr(const QString& format, int width, int height, const QByteArray& data)
{
    std::vector<uint8_t> bgr(size_t(width) * height * 3);
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const int cw = (width + 1) / 2, ch = (height + 1) / 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* out = &bgr[(size_t(y) * width + x) * 3];
            const size_t i = size_t(y) * width + x;
            if (format == u"BGR") {
                std::copy(p + i * 3, p + i * 3 + 3, out);
            } else if (format == u"YUY2") {
                const uint8_t* pair = p + size_t(y) * cw * 4 + (x / 2) * 4;
                yuvToBgr(pair[(x % 2) * 2], pair[1], pair[3], out);
            } else if (format == u"I420") {
                const size_t c = size_t(y / 2) * cw + x / 2;
                const uint8_t* u = p + size_t(width) * height;
                yuvToBgr(p[i], u[c], u[size_t(cw) * ch + c], out);
            } else {   // NV12
                const uint8_t* uv = p + size_t(width) * height + size_t(y / 2) * cw * 2 + (x / 2) * 2;
                yuvToBgr(p[i], uv[0], uv[1], out);
            }
        }
    return bgr;
}

int largestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int width,
                      int height, int margin)
{
    int largest = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (std::abs(x - width / 2) < margin || std::abs(y - height / 2) < margin)
                continue;
            for (int k = 0; k < 3; ++k) {
                const size_t i = (size_t(y) * width + x) * 3 + k;
                largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
            }
        }
    return largest;
}
