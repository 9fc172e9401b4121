#pragma once

#include "media/nearest_sampler.h"
#include "media/picture_rows.h"

#include <cstdint>
#include <vector>

// Fits a source picture into a camera-size Frame (see media/frame.h):
// letterbox or stretch, nearest neighbour, optionally mirrored left to right.
// Only the source rows the camera frame shows are converted. Not
// thread-safe: one thread at a time (the camera thread).
class FrameFitter {
public:
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Rect&) const = default;
    };

    // Where the picture of an sw x sh source lies in a cw x ch frame, before
    // mirroring. Letterboxing compares single-precision aspect ratios and
    // truncates; equal ratios fill the height.
    static Rect pictureRect(int sw, int sh, int cw, int ch, bool stretch);

    // The cw x ch frame to send, valid until the next call and while the
    // source's picture and rows stay as they are: the source's own Frame when
    // the sizes are equal and no mirroring is asked, else an internal buffer.
    // Null without a picture, when the camera size is not a valid Frame size,
    // or when the source's rows cannot be converted.
    const uint8_t* fit(PictureRows& source, int cw, int ch, bool stretch, bool mirror);
    // The same frame written whole (bars too) at `out`, cw * ch * 3 bytes;
    // false where fit gives null.
    bool fitInto(PictureRows& source, uint8_t* out, int cw, int ch, bool stretch, bool mirror);

private:
    struct Geometry {
        int sw = 0, sh = 0, cw = 0, ch = 0;
        int pixelBytes = 0;  // the source rows'
        bool stretch = false;
        bool mirror = false;
        bool operator==(const Geometry&) const = default;
    };

    // The sampler made for fitting `source`'s picture, null when no picture
    // or no valid Frame size; m_target says where it draws.
    NearestSampler* prepare(PictureRows& source, int cw, int ch, bool stretch, bool mirror);

    Geometry m_geometry;    // geometry the sampler was made for
    bool m_prepared = false;
    Rect m_target;          // picture rectangle in the frame as sent; empty: none
    NearestSampler m_sampler;
    std::vector<uint8_t> m_frame;  // grows only
};
