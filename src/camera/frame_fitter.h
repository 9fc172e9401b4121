#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Fits a source Frame (see media/frame.h) into a camera-size Frame: letterbox
// or stretch, nearest neighbour, optionally mirrored left to right. The source
// index of every output column and row is computed once per geometry, so a
// frame costs one gather; the black bars are written only when the geometry
// changes. Not thread-safe: one thread at a time (the camera thread).
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

    // The cw x ch frame to send. It is `source` itself when the sizes are
    // equal and no mirroring is asked; otherwise an internal buffer valid
    // until the next call. Null when either size is not a valid Frame size.
    const uint8_t* fit(const uint8_t* source, int sw, int sh, int cw, int ch,
                       bool stretch, bool mirror);

private:
    struct Geometry {
        int sw = 0, sh = 0, cw = 0, ch = 0;
        bool stretch = false;
        bool mirror = false;
        bool operator==(const Geometry&) const = default;
    };

    void prepare(const Geometry& geometry);

    Geometry m_geometry;         // geometry the tables below were built for
    bool m_prepared = false;
    Rect m_target;               // picture rectangle in the frame as sent
    bool m_identityColumns = false;
    std::vector<uint32_t> m_columnOffsets;  // per target column: byte offset in a source row
    std::vector<std::size_t> m_rowOffsets;       // per target row: byte offset of the source row
    std::vector<uint8_t> m_frame;           // grows only
};
