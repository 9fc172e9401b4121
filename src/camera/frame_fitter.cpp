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
    // A picture of zero width or height leaves the frame black.
    if (r.width > 0 && r.height > 0)
        m_sampler.setGeometry(g.sw, g.sh, r.width, r.height, g.mirror);
    else
        m_target = {};
    m_geometry = g;
    m_prepared = true;
}

bool FrameFitter::fitInto(PictureRows& source, uint8_t* out, int cw, int ch, bool stretch, bool mirror)
{
    const Picture* picture = source.picture().get();
    if (!picture || !frameBytes(cw, ch))
        return false;
    const int sw = picture->width();
    const int sh = picture->height();
    const size_t stride = static_cast<size_t>(cw) * 3;
    if (sw == cw && sh == ch && !mirror) {
        if (!source.prepareAll())
            return false;
        if (const uint8_t* whole = source.frame()) {
            std::memcpy(out, whole, stride * static_cast<size_t>(ch));
            return true;
        }
        for (int y = 0; y < ch; ++y)
            std::memcpy(out + static_cast<size_t>(y) * stride, source.row(y), stride);
        return true;
    }

    const Geometry geometry{sw, sh, cw, ch, stretch, mirror};
    if (!m_prepared || !(geometry == m_geometry))
        prepare(geometry);
    const Rect& t = m_target;
    // The bars: whole rows above and below the picture, the ends of the rows beside it.
    std::memset(out, 0, static_cast<size_t>(t.y) * stride);
    const size_t below = static_cast<size_t>(t.y + t.height) * stride;
    std::memset(out + below, 0, static_cast<size_t>(ch) * stride - below);
    const size_t left = static_cast<size_t>(t.x) * 3;
    const size_t right = stride - left - static_cast<size_t>(t.width) * 3;
    if (left + right > 0) {
        for (int y = t.y; y < t.y + t.height; ++y) {
            uint8_t* row = out + static_cast<size_t>(y) * stride;
            std::memset(row, 0, left);
            std::memset(row + stride - right, 0, right);
        }
    }
    if (t.width == 0)
        return true;
    return m_sampler.sampleFrame(source, out + static_cast<size_t>(t.y) * stride + left, stride);
}

const uint8_t* FrameFitter::fit(PictureRows& source, int cw, int ch, bool stretch, bool mirror)
{
    const Picture* picture = source.picture().get();
    if (!picture || !frameBytes(cw, ch))
        return nullptr;
    // A whole Frame the source already holds needs no copy.
    if (picture->width() == cw && picture->height() == ch && !mirror) {
        if (!source.prepareAll())
            return nullptr;
        if (const uint8_t* whole = source.frame())
            return whole;
    }
    m_frame.resize(static_cast<size_t>(cw) * static_cast<size_t>(ch) * 3);
    return fitInto(source, m_frame.data(), cw, ch, stretch, mirror) ? m_frame.data() : nullptr;
}
