#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

struct SwsContext;

// Converts BGR frames into one of the pixel formats the camera offers, rows
// tightly packed and planes back to back (I420: Y, U, V; NV12: Y, UV).
class FrameConverter {
public:
    // The offered formats (spa_video_format values), most preferred first.
    static const std::array<uint32_t, 6>& formats();

    // Prepares for `spaFormat` at width x height; false for a format that is
    // not offered or a converter that cannot be made.
    bool configure(uint32_t spaFormat, int width, int height);

    // Bytes of one converted frame and of one row of its first plane; 0 until
    // configured.
    size_t frameBytes() const { return m_frameBytes; }
    int stride() const { return m_strides[0]; }

    // Writes the frame for `bgr` (width * height * 3 bytes) into `out`
    // (frameBytes() long). Allocates nothing.
    void convert(const uint8_t* bgr, uint8_t* out) const;

private:
    struct SwsFree {
        void operator()(SwsContext* context) const;
    };

    std::unique_ptr<SwsContext, SwsFree> m_sws;   // null: a plain copy does
    int m_width = 0;
    int m_height = 0;
    int m_planes = 0;
    std::array<int, 3> m_strides{};
    std::array<int, 3> m_rows{};
    size_t m_frameBytes = 0;
};
