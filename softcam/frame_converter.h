#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Converts BGR frames into one of the pixel formats the camera offers, rows
// tightly packed and planes back to back (I420: Y, U, V; NV12: Y, UV), as
// WebRTC and libyuv read them. YUV is BT.601 studio range; chroma averages
// each 2 x 2 block (2 x 1 for YUY2).
//
// The chroma-subsampled formats (YUY2, I420, NV12) come out at an even size:
// an odd width or height gains one column or row repeating the edge, since
// Chromium's capture service aborts on such frames of odd size. The RGB
// formats keep the size exactly.
class FrameConverter {
public:
    struct Size {
        int width;
        int height;
        bool operator==(const Size&) const = default;
    };

    // The offered formats (spa_video_format values), most preferred first.
    static const std::array<uint32_t, 6>& formats();

    // The size of the frames made in `spaFormat` from width x height pictures.
    static Size outputSize(uint32_t spaFormat, int width, int height);

    // Prepares for `spaFormat` from width x height BGR pictures; false for a
    // format that is not offered or an empty size.
    bool configure(uint32_t spaFormat, int width, int height);

    // Bytes of one converted frame (outputSize) and of one row of its first
    // plane; 0 until configured.
    size_t frameBytes() const { return m_frameBytes; }
    int stride() const { return m_stride; }

    // The frames are BGR as they come: a frame can be written straight into
    // the output instead of converted.
    bool passesThrough() const;

    // Writes the frame for `bgr` (width * height * 3 bytes, the size given to
    // configure) into `out` (frameBytes() long). Allocates nothing.
    void convert(const uint8_t* bgr, uint8_t* out) const;

private:
    uint32_t m_format = 0;
    int m_width = 0;    // of the pictures
    int m_height = 0;
    int m_stride = 0;
    size_t m_frameBytes = 0;
};
