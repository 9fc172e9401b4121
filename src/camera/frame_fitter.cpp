#include "camera/frame_fitter.h"

#include "media/frame.h"

#include <algorithm>
#include <cstring>

FrameFitter::Rect FrameFitter::pictureRect(int sw, int sh, int cw, int ch, bool stretch)
{
    if (stretch)
        return {0, 0, cw, ch};
    const float a = static_cast<float>(sw) / static_cast<float>(sh);
    const float c = static_cast<float>(cw) / static_cast<float>(ch);
    Rect r;
    if (a > c) {
        r.width = cw;
        r.height = std::min(ch, static_cast<int>(static_cast<float>(cw) / a));
        r.y = (ch - r.height) / 2;
    } else {
        r.height = ch;
        r.width = std::min(cw, static_cast<int>(static_cast<float>(ch) * a));
        r.x = (cw - r.width) / 2;
    }
    return r;
}

void FrameFitter::prepare(const Geometry& g)
{
    // Equal sizes reach here only when mirrored: the picture fills the frame.
    const bool sameSize = g.sw == g.cw && g.sh == g.ch;
    const Rect r = pictureRect(g.sw, g.sh, g.cw, g.ch, g.stretch || sameSize);

    m_target = r;
    if (g.mirror)
        m_target.x = g.cw - r.x - r.width;
    // A picture of zero width or height leaves the frame black: both tables
    // stay empty, so fit() writes nothing.
    const bool empty = r.width == 0 || r.height == 0;
    const int columns = empty ? 0 : r.width;
    const int rows = empty ? 0 : r.height;

    // Target column j shows picture column j, or dw - 1 - j when mirrored.
    m_columnOffsets.resize(static_cast<size_t>(columns));
    for (int j = 0; j < columns; ++j) {
        const int column = g.mirror ? r.width - 1 - j : j;
        m_columnOffsets[j] = static_cast<uint32_t>(column * g.sw / r.width) * 3;
    }
    m_identityColumns = !g.mirror && r.width == g.sw;

    m_rowOffsets.resize(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i)
        m_rowOffsets[i] = static_cast<size_t>(i * g.sh / r.height) * static_cast<size_t>(g.sw) * 3;

    m_frame.resize(static_cast<size_t>(g.cw) * static_cast<size_t>(g.ch) * 3);
    std::fill(m_frame.begin(), m_frame.end(), uint8_t{0});
    m_geometry = g;
    m_prepared = true;
}

const uint8_t* FrameFitter::fit(const uint8_t* source, int sw, int sh, int cw, int ch,
                                bool stretch, bool mirror)
{
    if (!source || !frameBytes(sw, sh) || !frameBytes(cw, ch))
        return nullptr;
    if (sw == cw && sh == ch && !mirror)
        return source;

    const Geometry geometry{sw, sh, cw, ch, stretch, mirror};
    if (!m_prepared || !(geometry == m_geometry))
        prepare(geometry);

    const size_t stride = static_cast<size_t>(cw) * 3;
    const size_t lastRow = static_cast<size_t>(sh - 1) * static_cast<size_t>(sw) * 3;
    const size_t rowBytes = static_cast<size_t>(m_target.width) * 3;
    uint8_t* out = m_frame.data() + static_cast<size_t>(m_target.y) * stride
                   + static_cast<size_t>(m_target.x) * 3;
    for (size_t i = 0; i < m_rowOffsets.size(); ++i, out += stride) {
        // Upscaling repeats source rows: copy the row just written.
        if (i > 0 && m_rowOffsets[i] == m_rowOffsets[i - 1]) {
            std::memcpy(out, out - stride, rowBytes);
            continue;
        }
        const uint8_t* in = source + m_rowOffsets[i];
        if (m_identityColumns) {
            std::memcpy(out, in, rowBytes);
            continue;
        }
        // Pixels move as 4 bytes, the 4th overwritten by the next pixel; the
        // last source row moves 3 bytes a pixel so as not to read past its end.
        const size_t wide = m_rowOffsets[i] == lastRow ? 0 : m_columnOffsets.size() - 1;
        uint8_t* pixel = out;
        for (size_t j = 0; j < wide; ++j, pixel += 3) {
            uint32_t value;
            std::memcpy(&value, in + m_columnOffsets[j], 4);
            std::memcpy(pixel, &value, 4);
        }
        for (size_t j = wide; j < m_columnOffsets.size(); ++j, pixel += 3)
            std::memcpy(pixel, in + m_columnOffsets[j], 3);
    }
    return m_frame.data();
}
