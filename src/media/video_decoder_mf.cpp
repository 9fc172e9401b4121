// Windows layer of VideoDecoder: the Media Foundation source reader in
// synchronous mode, its own video processing switched on so that every stream
// arrives as 32-bit RGB. The application has started COM and Media Foundation.
#include "media/video_decoder.h"

#include "media/frame.h"
#include "media/picture.h"
#include "media/picture_turn.h"
#include "media/rgb32_buffer.h"
#include "media/seek_plan.h"

#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

using Microsoft::WRL::ComPtr;

namespace {

constexpr double kUnitsPerSecond = 10'000'000.0;  // Media Foundation time: 100 ns

const DWORD kVideoStream = static_cast<DWORD>(MF_SOURCE_READER_FIRST_VIDEO_STREAM);

// Clears the value on every path.
struct PropVariant {
    PROPVARIANT value;
    PropVariant() { PropVariantInit(&value); }
    ~PropVariant() { PropVariantClear(&value); }
    PropVariant(const PropVariant&) = delete;
    PropVariant& operator=(const PropVariant&) = delete;
};

// Holds a buffer's lock for the lifetime of the object.
class BufferLock {
public:
    explicit BufferLock(IMFMediaBuffer* buffer) : m_buffer(buffer)
    {
        if (FAILED(m_buffer->Lock(&m_data, nullptr, &m_length)))
            m_data = nullptr;
    }
    ~BufferLock()
    {
        if (m_data)
            m_buffer->Unlock();
    }
    BufferLock(const BufferLock&) = delete;
    BufferLock& operator=(const BufferLock&) = delete;

    const uint8_t* data() const { return m_data; }
    uint32_t length() const { return m_length; }

private:
    IMFMediaBuffer* m_buffer;
    BYTE* m_data = nullptr;
    DWORD m_length = 0;
};

} // namespace

struct VideoDecoder::Impl {
    ComPtr<IMFSourceReader> reader;
    uint32_t width = 0;  // size of the decoded pictures, before the turn
    uint32_t height = 0;
    int rotation = 0;  // clockwise degrees that show the picture upright
    std::vector<uint8_t> unturned;  // turned streams: the picture before the turn

    // A pending seek. `kept` holds back a sample: during the seek the latest
    // one at or before the target, after it the one that comes next.
    SeekPlan seek;
    ComPtr<IMFSample> kept;
    LONGLONG keptTime = 0;
    // Where the source goes before the next read. Moving it only then means
    // a reader is never released in the middle of its own seek, which Wine's
    // reader does not always survive.
    std::optional<double> moveTo;

    const std::function<bool()>* stopRequested = nullptr;  // the owner's check

    void moveSource(double seconds);
    bool nextSample(ComPtr<IMFSample>& sample, LONGLONG& time, double& position);
};

void VideoDecoder::Impl::moveSource(double seconds)
{
    moveTo = seconds;
    kept.Reset();
}

// The next sample to deliver and its time (100 ns units); false at the end,
// on an error or on a stop. `position` follows every time stamp read.
bool VideoDecoder::Impl::nextSample(ComPtr<IMFSample>& sample, LONGLONG& time, double& position)
{
    for (;;) {
        if (kept && !seek.active()) {
            sample.Swap(kept);  // mingw's ComPtr copies on a move: a swap empties `kept`
            time = keptTime;
            return true;
        }
        // Asked before every read: a decode forward to a seek target stops
        // between two samples.
        if (*stopRequested && (*stopRequested)())
            return false;
        if (moveTo) {
            PropVariant value;
            value.value.vt = VT_I8;
            value.value.hVal.QuadPart = static_cast<LONGLONG>(*moveTo * kUnitsPerSecond);
            reader->SetCurrentPosition(GUID_NULL, value.value);
            moveTo.reset();
        }
        DWORD flags = 0;
        LONGLONG stamp = 0;
        ComPtr<IMFSample> read;
        if (FAILED(reader->ReadSample(kVideoStream, 0, nullptr, &flags, &stamp, &read)))
            return false;
        if (stamp >= 0)
            position = static_cast<double>(stamp) / kUnitsPerSecond;
        const bool ended = (flags & MF_SOURCE_READERF_ENDOFSTREAM) || !read;
        if (!seek.active()) {
            if (ended)
                return false;
            sample = read;
            time = stamp;
            return true;
        }
        if (ended) {
            if (seek.endReached(kept.Get() != nullptr)) {
                moveSource(seek.backPosition());
                continue;
            }
            if (!kept)
                return false;
            sample.Swap(kept);  // the stream ended after it: it stays on screen
            time = keptTime;
            return true;
        }
        switch (seek.offer(static_cast<double>(stamp) / kUnitsPerSecond, kept.Get() != nullptr)) {
        case SeekPlan::Step::Keep:
            kept = read;
            keptTime = stamp;
            continue;
        case SeekPlan::Step::MoveBack:
            moveSource(seek.backPosition());
            continue;
        case SeekPlan::Step::Deliver:
            kept.Reset();
            sample = read;
            time = stamp;
            return true;
        case SeekPlan::Step::DeliverKept:
            sample = kept;
            time = keptTime;
            kept = read;
            keptTime = stamp;
            return true;
        }
    }
}

VideoDecoder::VideoDecoder() = default;

VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::Open(const wchar_t* path)
{
    Close();

    ComPtr<IMFAttributes> attributes;
    if (SUCCEEDED(MFCreateAttributes(&attributes, 1)))
        attributes->SetUINT32(MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING, 1);
    else
        attributes.Reset();

    auto impl = std::make_unique<Impl>();
    const HRESULT created = MFCreateSourceReaderFromURL(path, attributes.Get(), &impl->reader);
    attributes.Reset();
    if (FAILED(created))
        return false;
    IMFSourceReader* reader = impl->reader.Get();

    reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE);
    reader->SetStreamSelection(kVideoStream, TRUE);

    {
        ComPtr<IMFMediaType> wanted;
        if (FAILED(MFCreateMediaType(&wanted)))
            return false;
        wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video);
        wanted->SetGUID(MF_MT_SUBTYPE, MFVideoFormat_RGB32);
        if (FAILED(reader->SetCurrentMediaType(kVideoStream, nullptr, wanted.Get())))
            return false;
    }

    ComPtr<IMFMediaType> current;
    if (FAILED(reader->GetCurrentMediaType(kVideoStream, &current)))
        return false;

    UINT64 packed = 0;
    if (SUCCEEDED(current->GetUINT64(MF_MT_FRAME_SIZE, &packed))) {
        impl->width = static_cast<uint32_t>(packed >> 32);
        impl->height = static_cast<uint32_t>(packed);
    }
    // A size the media type did not give, or one too large to hold, has no Frame.
    if (!frameBytes(impl->width, impl->height))
        return false;
    UINT32 stride = 0;
    if (SUCCEEDED(current->GetUINT32(MF_MT_DEFAULT_STRIDE, &stride)))
        m_stride = static_cast<int32_t>(stride);
    else
        m_stride = static_cast<int32_t>(impl->width * 4);

    // The reader hands pictures over as stored: MF_MT_VIDEO_ROTATION only
    // says how far the source turned them (counter-clockwise), and its video
    // processing does not undo it. Phone clips would come sideways, so the
    // turn is done here, as in the FFmpeg layer. The native type keeps the
    // attribute where the RGB32 type lost it.
    UINT32 rotation = 0;
    if (FAILED(current->GetUINT32(MF_MT_VIDEO_ROTATION, &rotation))) {
        ComPtr<IMFMediaType> native;
        if (SUCCEEDED(reader->GetNativeMediaType(kVideoStream, 0, &native)))
            native->GetUINT32(MF_MT_VIDEO_ROTATION, &rotation);
    }
    impl->rotation = quarterTurn(rotation);
    const bool sideways = impl->rotation == 90 || impl->rotation == 270;
    m_width = sideways ? impl->height : impl->width;
    m_height = sideways ? impl->width : impl->height;

    packed = 0;
    if (SUCCEEDED(current->GetUINT64(MF_MT_FRAME_RATE, &packed))) {
        const uint32_t numerator = static_cast<uint32_t>(packed >> 32);
        const uint32_t denominator = static_cast<uint32_t>(packed);
        if (numerator != 0 && denominator != 0)
            m_fps = static_cast<double>(numerator) / static_cast<double>(denominator);
    }
    current.Reset();

    {
        PropVariant duration;
        if (SUCCEEDED(reader->GetPresentationAttribute(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE),
                                                       MF_PD_DURATION, &duration.value))
            && duration.value.vt == VT_UI8) {
            m_duration = static_cast<double>(duration.value.uhVal.QuadPart) / kUnitsPerSecond;
        }
    }

    m_position = 0.0;
    impl->stopRequested = &m_stopRequested;
    m_impl = std::move(impl);
    return true;
}

void VideoDecoder::Close()
{
    m_impl.reset();
    resetStreamInfo();
}

bool VideoDecoder::ReadFrame(std::vector<uint8_t>& out)
{
    if (!m_impl)
        return false;
    Impl& d = *m_impl;
    ComPtr<IMFSample> sample;
    LONGLONG time = 0;
    if (!d.nextSample(sample, time, m_position))
        return false;
    if (time >= 0)
        m_position = static_cast<double>(time) / kUnitsPerSecond;

    ComPtr<IMFMediaBuffer> buffer;
    if (FAILED(sample->ConvertToContiguousBuffer(&buffer)))
        return false;
    const BufferLock lock(buffer.Get());
    if (!lock.data())
        return false;

    const std::size_t bytes = *frameBytes(d.width, d.height);  // checked by Open
    const uint32_t pitch = rgb32RowPitch(d.width, d.height, m_stride, lock.length());
    std::vector<uint8_t>& target = d.rotation == 0 ? out : d.unturned;
    target.resize(bytes);
    copyRgb32ToFrame(lock.data(), lock.length(), pitch, d.width, d.height, target.data());
    if (d.rotation != 0) {
        out.resize(bytes);
        turnPicture(d.unturned.data(), int(d.width), int(d.height), d.rotation, out.data());
    }
    return true;
}

// Media Foundation delivers whole pictures: each one becomes a Frame.
std::shared_ptr<const Picture> VideoDecoder::ReadPicture()
{
    std::vector<uint8_t> pixels;
    if (!ReadFrame(pixels))
        return nullptr;
    return std::make_shared<FramePicture>(std::move(pixels), static_cast<int>(m_width), static_cast<int>(m_height));
}

void VideoDecoder::SeekTo(double seconds)
{
    if (!m_impl || std::isnan(seconds))
        return;
    // Held to the time line, the position fits the 64-bit time stamps.
    m_position = m_impl->seek.start(seconds, m_duration);
    m_impl->moveSource(m_position);
}

void VideoDecoder::SeekToStart()
{
    SeekTo(0.0);
}
