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

NearestSampler* FrameFitter::prepare(PictureRows& source, int cw, int ch, bool stretch, bool mirror)
{
    if (!source.picture() || !frameBytes(cw, ch))
        return nullptr;
    const Geometry g{source.picture()->width(), source.picture()->height(), cw, ch, source.pixelBytes(),
                     stretch, mirror};
    if (m_prepared && g == m_geometry)
        return &m_sampler;
    // Equal sizes fill the frame, whatever the letterboxing would say.
    const bool sameSize = g.sw == g.cw && g.sh == g.ch;
    const Rect r = pictureRect(g.sw, g.sh, g.cw, g.ch, g.stretch || sameSize);
    m_target = r;
    if (g.mirror)
        m_target.x = g.cw - r.x - r.width;
    // A picture of zero width or height leaves the frame black.
    if (r.width > 0 && r.height > 0)
        m_sampler.setGeometry(g.sw, g.sh, r.width, r.height, g.mirror, g.pixelBytes);
    else
        m_target = {};
    m_geometry = g;
    m_prepared = true;
    return &m_sampler;
}

bool FrameFitter::fitInto(PictureRows& source, uint8_t* out, int cw, int ch, bool stretch, bool mirror)
{
    NearestSampler* sampler = prepare(source, cw, ch, stretch, mirror);
    if (!sampler)
        return false;
    const size_t stride = static_cast<size_t>(cw) * 3;
    const uint8_t* whole = source.picture()->frame();
    if (whole && m_geometry.sw == cw && m_geometry.sh == ch && !mirror) {
        std::memcpy(out, whole, stride * static_cast<size_t>(ch));
        return true;
    }
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
    return sampler->sampleFrame(source, out + static_cast<size_t>(t.y) * stride + left, stride);
}

const uint8_t* FrameFitter::fit(PictureRows& source, int cw, int ch, bool stretch, bool mirror)
{
    const Picture* picture = source.picture().get();
    if (!picture || !frameBytes(cw, ch))
        return nullptr;
    // A whole Frame the source already holds needs no copy.
    if (picture->frame() && picture->width() == cw && picture->height() == ch && !mirror)
        return picture->frame();
    m_frame.resize(static_cast<size_t>(cw) * static_cast<size_t>(ch) * 3);
    return fitInto(source, m_frame.data(), cw, ch, stretch, mirror) ? m_frame.data() : nullptr;
}
