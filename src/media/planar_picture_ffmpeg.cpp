#include "media/planar_picture_ffmpeg.h"

#include "media/ffmpeg_owners.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

namespace {

// The formats taken, each with the one that has a chroma row for every row.
struct Layout {
    AVPixelFormat format;
    AVPixelFormat everyRow;
    int chromaShift;  // rows per chroma row, as a shift
};
constexpr Layout kLayouts[] = {
    {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV422P, 1},
    {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P, 1},
    {AV_PIX_FMT_YUV422P, AV_PIX_FMT_YUV422P, 0},
    {AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUVJ422P, 0},
};

const Layout* layoutOf(int format)
{
    for (const Layout& layout : kLayouts)
        if (layout.format == format)
            return &layout;
    return nullptr;
}

// Scalers for one width and one kind of picture. Two rows are converted as a
// picture of two rows whose planes' strides step from the first row to the
// second: in the source's own format when both share a chroma row, else in
// the format with a chroma row for every row.
struct RowScalers : Picture::Converter {
    int width = 0;
    int height = 0;  // of the whole-picture scaler
    int format = AV_PIX_FMT_NONE;
    FrameColours colours{};
    ScalerPtr sharedChroma;
    ScalerPtr ownChroma;
    ScalerPtr whole;

    bool fits(const AVFrame& f) const
    {
        return f.width == width && f.format == format && coloursOf(f) == colours;
    }
};

ScalerPtr makeScaler(const AVFrame& f, AVPixelFormat format, int height)
{
    ScalerPtr scaler(sws_getContext(f.width, height, format, f.width, height, AV_PIX_FMT_BGR0, SWS_BILINEAR,
                                    nullptr, nullptr, nullptr));
    if (scaler)
        setSourceColours(scaler.get(), coloursOf(f));
    return scaler;
}

// The number in one of FFmpeg's enum fields. FFmpeg stores there whatever a
// file says (a colour space of 243, say); read as the C++ enum, a number
// outside it is undefined behaviour.
template <typename Enum>
int numberIn(const Enum& field)
{
    std::underlying_type_t<Enum> number;
    std::memcpy(&number, &field, sizeof number);
    return static_cast<int>(number);
}

class PlanarPicture : public Picture {
public:
    PlanarPicture(FramePtr frame, const Layout& layout)
        : Picture(frame->width, frame->height), m_frame(std::move(frame)), m_layout(layout)
    {
    }

    bool convertRows(int first, int second, uint8_t* out, std::ptrdiff_t stride,
                     std::unique_ptr<Converter>& converter) const override
    {
        RowScalers* scalers = scalersFor(converter);
        if (scalers == nullptr)
            return false;
        const AVFrame& f = *m_frame;
        const int chromaFirst = first >> m_layout.chromaShift;
        const int chromaSecond = second >> m_layout.chromaShift;
        const bool shared = chromaFirst == chromaSecond;
        SwsContext* scaler = shared ? scalers->sharedChroma.get() : scalers->ownChroma.get();
        // A shared chroma row is read for both rows by the source's format.
        const int chromaStep = shared ? 1 : chromaSecond - chromaFirst;
        const uint8_t* const planes[4] = {row(0, first), row(1, chromaFirst), row(2, chromaFirst), nullptr};
        const int strides[4] = {(second - first) * f.linesize[0], chromaStep * f.linesize[1],
                                chromaStep * f.linesize[2], 0};
        uint8_t* const target[4] = {out, nullptr, nullptr, nullptr};
        const int targetStrides[4] = {static_cast<int>(stride), 0, 0, 0};
        return sws_scale(scaler, planes, strides, 0, 2, target, targetStrides) == 2;
    }

    bool convertAll(uint8_t* out, std::ptrdiff_t stride, std::unique_ptr<Converter>& converter) const override
    {
        // swscale converts an odd number of 4:2:0 rows another way, which
        // gives other bytes than the pairs: those go by pairs.
        if (m_layout.chromaShift == 1 && height() % 2 != 0)
            return false;
        RowScalers* scalers = scalersFor(converter);
        if (scalers == nullptr)
            return false;
        const AVFrame& f = *m_frame;
        if (!scalers->whole || scalers->height != f.height) {
            scalers->whole = makeScaler(f, static_cast<AVPixelFormat>(f.format), f.height);
            scalers->height = f.height;
        }
        if (!scalers->whole)
            return false;
        uint8_t* const target[4] = {out, nullptr, nullptr, nullptr};
        const int targetStrides[4] = {static_cast<int>(stride), 0, 0, 0};
        return sws_scale(scalers->whole.get(), f.data, f.linesize, 0, f.height, target, targetStrides) == f.height;
    }

private:
    const uint8_t* row(int plane, int y) const
    {
        return m_frame->data[plane] + static_cast<std::ptrdiff_t>(y) * m_frame->linesize[plane];
    }

    RowScalers* scalersFor(std::unique_ptr<Converter>& converter) const
    {
        auto* scalers = dynamic_cast<RowScalers*>(converter.get());
        const AVFrame& f = *m_frame;
        if (scalers != nullptr && scalers->fits(f))
            return scalers;
        auto made = std::make_unique<RowScalers>();
        made->width = f.width;
        made->format = f.format;
        made->colours = coloursOf(f);
        made->sharedChroma = makeScaler(f, m_layout.format, 2);
        made->ownChroma = makeScaler(f, m_layout.everyRow, 2);
        converter = std::move(made);
        scalers = static_cast<RowScalers*>(converter.get());
        return scalers->sharedChroma && scalers->ownChroma ? scalers : nullptr;
    }

    FramePtr m_frame;
    const Layout& m_layout;
};

} // namespace

FrameColours coloursOf(const AVFrame& frame)
{
    return {numberIn(frame.colorspace), numberIn(frame.color_range)};
}

void setSourceColours(SwsContext* scaler, const FrameColours& colours)
{
    const int space = colours.space == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : colours.space;
    sws_setColorspaceDetails(scaler, sws_getCoefficients(space), colours.range == AVCOL_RANGE_JPEG,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
}

std::shared_ptr<const Picture> takePlanarPicture(AVFrame& frame)
{
    const Layout* layout = layoutOf(frame.format);
    if (layout == nullptr || frame.height < 2)
        return nullptr;
    FramePtr taken(av_frame_alloc());
    if (!taken)
        return nullptr;
    av_frame_move_ref(taken.get(), &frame);
    return std::make_shared<PlanarPicture>(std::move(taken), *layout);
}
