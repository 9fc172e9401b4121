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
    // Sizes are valid Frame sizes (frame.h).
    void setGeometry(int sw, int sh, int dw, int dh, bool mirror);

    // The rectangle as Frame pixels (3 bytes each) at `out`, rows `stride`
    // bytes apart. Nothing is written past a row's last pixel.
    bool sampleFrame(PictureRows& source, uint8_t* out, std::size_t stride);
    // The rectangle as 0xffRRGGBB words (QImage::Format_RGB32).
    bool sampleRgb32(PictureRows& source, uint8_t* out, std::size_t stride);

private:
    template <typename Gather>
    bool sample(PictureRows& source, uint8_t* out, std::size_t stride, std::size_t rowBytes, Gather gather);

    int m_sw = 0, m_sh = 0, m_dw = 0, m_dh = 0;
    bool m_mirror = false;
    bool m_identityColumns = false;  // target columns are the source's, in order
    std::vector<int> m_rows;               // per target row: its source row
    std::vector<uint32_t> m_columnOffsets; // per target column: byte offset in a source row
};
