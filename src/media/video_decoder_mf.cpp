// Windows layer of VideoDecoder: the Media Foundation source reader in
// synchronous mode, its own video processing switched on so that every stream
// arrives as 32-bit RGB. The application has started COM and Media Foundation.
#include "media/video_decoder.h"

#include "media/frame.h"
#include "media/rgb32_buffer.h"

#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <wrl/client.h>

#include <cmath>

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
};

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
        m_width = static_cast<uint32_t>(packed >> 32);
        m_height = static_cast<uint32_t>(packed);
    }
    UINT32 stride = 0;
    if (SUCCEEDED(current->GetUINT32(MF_MT_DEFAULT_STRIDE, &stride)))
        m_stride = static_cast<int32_t>(stride);
    else
        m_stride = static_cast<int32_t>(m_width * 4);
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

    DWORD flags = 0;
    LONGLONG timestamp = 0;
    ComPtr<IMFSample> sample;
    if (FAILED(m_impl->reader->ReadSample(kVideoStream, 0, nullptr, &flags, &timestamp, &sample)))
        return false;
    if (timestamp >= 0)
        m_position = static_cast<double>(timestamp) / kUnitsPerSecond;
    if ((flags & MF_SOURCE_READERF_ENDOFSTREAM) || !sample)
        return false;

    // A size the media type did not give, or one too large to hold, has no Frame.
    const auto bytes = frameBytes(m_width, m_height);
    if (!bytes)
        return false;

    ComPtr<IMFMediaBuffer> buffer;
    if (FAILED(sample->ConvertToContiguousBuffer(&buffer)))
        return false;
    const BufferLock lock(buffer.Get());
    if (!lock.data())
        return false;

    const uint32_t pitch = rgb32RowPitch(m_width, m_height, m_stride, lock.length());
    out.resize(*bytes);
    copyRgb32ToFrame(lock.data(), lock.length(), pitch, m_width, m_height, out.data());
    return true;
}

void VideoDecoder::SeekTo(double seconds)
{
    if (!m_impl)
        return;
    const double units = std::trunc(seconds * kUnitsPerSecond);
    // Outside the 64-bit range (or not a number) there is nothing to seek to.
    if (!(std::fabs(units) < 9.2e18))
        return;
    {
        PropVariant position;
        position.value.vt = VT_I8;
        position.value.hVal.QuadPart = static_cast<LONGLONG>(units);
        m_impl->reader->SetCurrentPosition(GUID_NULL, position.value);
    }
    m_position = seconds;
}

void VideoDecoder::SeekToStart()
{
    SeekTo(0.0);
}
