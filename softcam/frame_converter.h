#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Converts BGR frames into one of the pixel formats the camera offers, rows
// tightly packed and planes back to back (I420: Y, U, V; NV12: Y, UV). YUV is
// BT.601 studio range; chroma averages each 2 x 2 block (2 x 1 for YUY2),
// repeating the last row or column of odd sizes.
class FrameConverter {
public:
    // The offered formats (spa_video_format values), most preferred first.
    static const std::array<uint32_t, 6>& formats();

    // Prepares for `spaFormat` at width x height; false for a format that is
    // not offered or an empty size.
    bool configure(uint32_t spaFormat, int width, int height);

    // Bytes of one converted frame and of one row of its first plane; 0 until
    // configured.
    size_t frameBytes() const { return m_frameBytes; }
    int stride() const { return m_stride; }

    // Writes the frame for `bgr` (width * height * 3 bytes) into `out`
    // (frameBytes() long). Allocates nothing.
    void convert(const uint8_t* bgr, uint8_t* out) const;

private:
    uint32_t m_format = 0;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    size_t m_frameBytes = 0;
};
