#pragma once

#include "media/picture_rows.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Nearest-neighbour sampling of a whole picture into a dw x dh rectangle:
// target pixel (x, y) shows source pixel (x * sw / dw, y * sh / dh), in
// 32-bit integer arithmetic, truncating; mirrored, target column x shows what
// column dw - 1 - x would. Only the source rows sampled are converted. The
// tables are made once per geometry. Not thread-safe.
class NearestSampler {
public:
    // Sizes are valid Frame sizes (frame.h); `pixelBytes` is the source
    // rows' (PictureRows::pixelBytes).
    void setGeometry(int sw, int sh, int dw, int dh, bool mirror, int pixelBytes);

    // The rectangle as Frame pixels (3 bytes each) at `out`, rows `stride`
    // bytes apart. Nothing is written past a row's last pixel.
    bool sampleFrame(PictureRows& source, uint8_t* out, std::size_t stride);
    // The rectangle as 0xffRRGGBB words (QImage::Format_RGB32). Where the
    // picture is made smaller, a target row may show any source row of its
    // share (y * sh / dh up to (y + 1) * sh / dh) that the source has
    // converted already, so that a preview costs no conversion of its own.
    bool sampleRgb32(PictureRows& source, uint8_t* out, std::size_t stride);

private:
    // m_rows, each moved to the first converted row of its share where there
    // is one, when the picture is made smaller.
    const std::vector<int>& rowsConverted(const PictureRows& source);
    template <typename Gather>
    bool sample(PictureRows& source, const std::vector<int>& rows, uint8_t* out, std::size_t stride,
                std::size_t rowBytes, Gather gather);

    int m_sw = 0, m_sh = 0, m_dw = 0, m_dh = 0;
    bool m_mirror = false;
    int m_pixelBytes = 0;
    bool m_identityColumns = false;  // target rows are source rows as they lie
    std::vector<int> m_rows;               // per target row: its source row
    std::vector<int> m_convertedRows;      // m_rows moved to converted rows where their shares allow
    std::vector<uint32_t> m_columnOffsets; // per target column: byte offset in a source row
};
