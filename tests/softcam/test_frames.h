#pragma once

#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

// A BGR frame of four flat quadrants: blue-ish, green-ish (top), red-ish, near white.
inline std::vector<uint8_t> quadrantFrame(int width, int height)
{
    static const uint8_t kQuadrants[4][3] = {{200, 60, 30}, {40, 180, 90}, {20, 50, 220}, {235, 235, 235}};
    std::vector<uint8_t> frame(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* c = kQuadrants[(y >= height / 2) * 2 + (x >= width / 2)];
            std::copy(c, c + 3, frame.begin() + (size_t(y) * width + x) * 3);
        }
    return frame;
}

// Bytes of one tightly packed frame in a GStreamer format (BGR, BGRx, RGBx, YUY2, I420, NV12)
// as the camera sends it: the chroma-subsampled ones at the even size at or above width x height.
inline qsizetype packedFrameBytes(const QString& format, int width, int height)
{
    const qsizetype pixels = qsizetype(width) * height;
    const qsizetype evenPixels = qsizetype(width + width % 2) * (height + height % 2);
    if (format == u"BGR")
        return pixels * 3;
    if (format == u"BGRx" || format == u"RGBx")
        return pixels * 4;
    if (format == u"YUY2")
        return evenPixels * 2;
    return evenPixels * 3 / 2;  // I420, NV12
}
