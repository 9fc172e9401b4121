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
    m_frame.resize(static_cast<size_t>(g.cw) * static_cast<size_t>(g.ch) * 3);
    std::fill(m_frame.begin(), m_frame.end(), uint8_t{0});
    m_geometry = g;
    m_prepared = true;
}

const uint8_t* FrameFitter::fit(PictureRows& source, int cw, int ch, bool stretch, bool mirror)
{
    const Picture* picture = source.picture().get();
    if (!picture || !frameBytes(cw, ch))
        return nullptr;
    const int sw = picture->width();
    const int sh = picture->height();
    const size_t stride = static_cast<size_t>(cw) * 3;
    if (sw == cw && sh == ch && !mirror) {
        if (!source.prepareAll())
            return nullptr;
        if (const uint8_t* whole = source.frame())
            return whole;
        // Converted rows with room after each: closed up here.
        m_prepared = false;  // the bars are gone
        m_frame.resize(stride * static_cast<size_t>(ch));
        for (int y = 0; y < ch; ++y)
            std::memcpy(m_frame.data() + static_cast<size_t>(y) * stride, source.row(y), stride);
        return m_frame.data();
    }

    const Geometry geometry{sw, sh, cw, ch, stretch, mirror};
    if (!m_prepared || !(geometry == m_geometry))
        prepare(geometry);
    if (m_target.width > 0 && m_target.height > 0) {
        uint8_t* out = m_frame.data() + static_cast<size_t>(m_target.y) * stride + static_cast<size_t>(m_target.x) * 3;
        if (!m_sampler.sampleFrame(source, out, stride))
            return nullptr;
    }
    return m_frame.data();
}
