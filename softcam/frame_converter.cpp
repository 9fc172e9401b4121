#include "frame_converter.h"

#include <cstring>

#include <spa/param/video/raw.h>

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

struct Layout {
    AVPixelFormat pixelFormat;
    int planes;
    std::array<int, 3> strides;
    std::array<int, 3> rows;
};

bool layoutFor(uint32_t spaFormat, int width, int height, Layout& layout)
{
    const int chromaWidth = (width + 1) / 2;
    const int chromaHeight = (height + 1) / 2;
    switch (spaFormat) {
    case SPA_VIDEO_FORMAT_BGR:
        layout = {AV_PIX_FMT_BGR24, 1, {width * 3}, {height}};
        return true;
    case SPA_VIDEO_FORMAT_BGRx:
        layout = {AV_PIX_FMT_BGR0, 1, {width * 4}, {height}};
        return true;
    case SPA_VIDEO_FORMAT_RGBx:
        layout = {AV_PIX_FMT_RGB0, 1, {width * 4}, {height}};
        return true;
    case SPA_VIDEO_FORMAT_YUY2:
        layout = {AV_PIX_FMT_YUYV422, 1, {chromaWidth * 4}, {height}};
        return true;
    case SPA_VIDEO_FORMAT_I420:
        layout = {AV_PIX_FMT_YUV420P, 3, {width, chromaWidth, chromaWidth},
                  {height, chromaHeight, chromaHeight}};
        return true;
    case SPA_VIDEO_FORMAT_NV12:
        layout = {AV_PIX_FMT_NV12, 2, {width, chromaWidth * 2}, {height, chromaHeight}};
        return true;
    default:
        return false;
    }
}

} // namespace

void FrameConverter::SwsFree::operator()(SwsContext* context) const
{
    sws_freeContext(context);
}

const std::array<uint32_t, 6>& FrameConverter::formats()
{
    // BGR first: it needs no conversion at all.
    static constexpr std::array<uint32_t, 6> kFormats{
        SPA_VIDEO_FORMAT_BGR,  SPA_VIDEO_FORMAT_YUY2, SPA_VIDEO_FORMAT_I420,
        SPA_VIDEO_FORMAT_NV12, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_RGBx};
    return kFormats;
}

bool FrameConverter::configure(uint32_t spaFormat, int width, int height)
{
    m_sws.reset();
    m_frameBytes = 0;
    Layout layout{};
    if (width < 1 || height < 1 || !layoutFor(spaFormat, width, height, layout))
        return false;
    if (layout.pixelFormat != AV_PIX_FMT_BGR24) {
        m_sws.reset(sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height,
                                   layout.pixelFormat, SWS_BILINEAR, nullptr, nullptr, nullptr));
        if (!m_sws)
            return false;
    }
    m_width = width;
    m_height = height;
    m_planes = layout.planes;
    m_strides = layout.strides;
    m_rows = layout.rows;
    for (int plane = 0; plane < m_planes; ++plane)
        m_frameBytes += size_t(m_strides[plane]) * size_t(m_rows[plane]);
    return true;
}

void FrameConverter::convert(const uint8_t* bgr, uint8_t* out) const
{
    if (!m_sws) {
        std::memcpy(out, bgr, m_frameBytes);
        return;
    }
    uint8_t* planes[4] = {};
    int strides[4] = {};
    uint8_t* next = out;
    for (int plane = 0; plane < m_planes; ++plane) {
        planes[plane] = next;
        strides[plane] = m_strides[plane];
        next += size_t(m_strides[plane]) * size_t(m_rows[plane]);
    }
    const uint8_t* source[4] = {bgr};
    const int sourceStride[4] = {m_width * 3};
    sws_scale(m_sws.get(), source, sourceStride, 0, m_height, planes, strides);
}
