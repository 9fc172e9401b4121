#include "media/video_decoder.h"

#include "media/ffmpeg_owners.h"
#include "media/frame.h"
#include "media/media_input_ffmpeg.h"
#include "media/picture_rows.h"
#include "media/picture_turn.h"
#include "media/planar_picture_ffmpeg.h"
#include "media/scaler_slack.h"
#include "media/seek_plan.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr double kDefaultFps = 30.0;
// Frame threads cost a set of pictures each and hand-offs between threads.
// Up to this many pixels a second the reading thread decodes alone, with time
// to spare; larger or faster streams use a thread per core.
constexpr double kOneThreadPixelsPerSecond = 1920.0 * 1088.0 * 60.0;

// The first video stream that is a moving picture (not cover art), or null.
AVStream* firstVideoStream(AVFormatContext* input)
{
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* stream = input->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return stream;
    }
    return nullptr;
}

// Small videos decode on one thread; larger ones on one per core (0).
int decoderThreads(AVFormatContext* input, AVStream* stream)
{
    const AVRational rate = av_guess_frame_rate(input, stream, nullptr);
    const double fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : kDefaultFps;
    const double pixels = static_cast<double>(stream->codecpar->width) * stream->codecpar->height;
    return pixels * fps <= kOneThreadPixelsPerSecond ? 1 : 0;
}

// The stream's display matrix (nine 32-bit numbers), or null. Newer FFmpeg
// keeps stream side data in the codec parameters only.
const int32_t* displayMatrix(const AVStream* stream)
{
    constexpr std::size_t kMatrixBytes = 9 * sizeof(int32_t);
#if LIBAVCODEC_VERSION_INT >= AV_VERSION_INT(60, 30, 100)
    const AVCodecParameters& params = *stream->codecpar;
    const AVPacketSideData* side = av_packet_side_data_get(
        params.coded_side_data, params.nb_coded_side_data, AV_PKT_DATA_DISPLAYMATRIX);
    if (side == nullptr || side->size < kMatrixBytes)
        return nullptr;
    return reinterpret_cast<const int32_t*>(side->data);
#else
    std::size_t size = 0;
    const uint8_t* data = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    return data != nullptr && size >= kMatrixBytes ? reinterpret_cast<const int32_t*>(data)
                                                   : nullptr;
#endif
}

// Clockwise turn (0, 90, 180 or 270 degrees) that shows the stream upright.
int displayRotation(const AVStream* stream)
{
    const int32_t* matrix = displayMatrix(stream);
    // av_display_rotation_get counts counter-clockwise.
    return matrix == nullptr ? 0 : quarterTurn(-av_display_rotation_get(matrix));
}

// Seconds to a time stamp in `timeBase` counted from `origin`, saturated to
// the range FFmpeg's seeking can take.
int64_t ticksOf(double seconds, AVRational timeBase, int64_t origin)
{
    constexpr double kLimit = 4.0e18;
    const double ticks = static_cast<double>(origin) + seconds / av_q2d(timeBase);
    if (std::isnan(ticks))
        return 0;
    return static_cast<int64_t>(std::clamp(ticks, -kLimit, kLimit));
}

}  // namespace

struct VideoDecoder::Impl {
    std::unique_ptr<MediaInput> input;
    CodecPtr codec;
    AVStream* stream = nullptr;  // owned by input
    PacketPtr packet{av_packet_alloc()};
    FramePtr frame{av_frame_alloc()};
    int codedWidth = 0;  // picture size before the turn
    int codedHeight = 0;
    int rotation = 0;                // clockwise degrees
    int64_t start = AV_NOPTS_VALUE;  // time stamp of the first frame (stream time base)
    bool inputEnded = false;         // the decoder has been told that no packets follow

    // A pending seek. MPEG-TS demuxers seek by searching, not by an index,
    // and may land after the target.
    SeekPlan seek;
    // A decoded picture held back: during a seek the latest one at or before
    // the target, after it the frame that follows the one delivered.
    FramePtr kept{av_frame_alloc()};
    double keptTime = 0.0;
    bool hasKept = false;

    // The owner's stop check, consulted once the file is open. `stopped`
    // latches a true answer for the rest of the public call.
    const std::function<bool()>* stopRequested = nullptr;
    bool armed = false;
    bool stopped = false;

    // Pictures that cannot stay in their planes (turned, resized or in other
    // formats) are converted whole to BGR at the coded size; the scaler is
    // made again only when the decoded pictures change.
    ScalerPtr scaler;
    int scalerWidth = 0;
    int scalerHeight = 0;
    int scalerFormat = AV_PIX_FMT_NONE;
    FrameColours scalerColours{};
    std::vector<uint8_t> unturned;  // turned streams: the picture before the turn

    bool stopNow()
    {
        if (!stopped && armed && *stopRequested && (*stopRequested)())
            stopped = true;
        return stopped;
    }
    static int interruptInput(void* opaque) { return static_cast<Impl*>(opaque)->stopNow(); }

    bool receiveFrame();
    bool prepareScaler();
    bool convertFrame(std::vector<uint8_t>& out);
    std::shared_ptr<const Picture> takePicture();
    double secondsOf(int64_t timestamp) const
    {
        return (static_cast<double>(timestamp) - static_cast<double>(start)) *
               av_q2d(stream->time_base);
    }
    void dropKept()
    {
        av_frame_unref(kept.get());
        hasKept = false;
    }
    void moveDemuxer(double seconds);
    void keepFrame(double frameTime);
    void takeKept(double& frameTime, bool frameComesNext);
    bool nextPicture(double& frameTime, double lastPosition, double fps);
};

// Decodes until `frame` holds the next picture. EAGAIN and end of file are
// ordinary flow; damaged packets and frames are skipped. False at the end of
// the stream, on a fatal error or on a stop (then `stopped` is set).
bool VideoDecoder::Impl::receiveFrame()
{
    for (;;) {
        const int result = avcodec_receive_frame(codec.get(), frame.get());
        if (result == 0)
            return true;
        if (result == AVERROR_INVALIDDATA)
            continue;
        if (result != AVERROR(EAGAIN) || inputEnded)
            return false;  // AVERROR_EOF once the decoder is drained
        // One packet at a time between checks: a stop never waits for more.
        if (stopNow())
            return false;
        if (av_read_frame(input->context(), packet.get()) < 0) {
            if (stopped)
                return false;  // the read was interrupted; the file goes on
            // End of file (or a read error): drain the frames still inside
            // the decoder, B-frame reordering and frame threads included.
            inputEnded = true;
            avcodec_send_packet(codec.get(), nullptr);
            continue;
        }
        if (packet->stream_index == stream->index)
            avcodec_send_packet(codec.get(), packet.get());  // a refused packet is skipped
        av_packet_unref(packet.get());
    }
}

bool VideoDecoder::Impl::prepareScaler()
{
    const AVFrame& f = *frame;
    const FrameColours colours = coloursOf(f);
    if (scaler && f.width == scalerWidth && f.height == scalerHeight && f.format == scalerFormat &&
        colours == scalerColours)
        return true;
    scaler.reset();
    if (!frameBytes(f.width, f.height) ||
        !sws_isSupportedInput(static_cast<AVPixelFormat>(f.format)))
        return false;
    // A stream whose picture size changes keeps the size it opened with.
    scaler.reset(sws_getContext(f.width, f.height, static_cast<AVPixelFormat>(f.format), codedWidth,
                                codedHeight, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr,
                                nullptr));
    if (!scaler)
        return false;
    setSourceColours(scaler.get(), colours);
    scalerWidth = f.width;
    scalerHeight = f.height;
    scalerFormat = f.format;
    scalerColours = colours;
    return true;
}

bool VideoDecoder::Impl::convertFrame(std::vector<uint8_t>& out)
{
    if (!prepareScaler())
        return false;
    const std::size_t bytes = *frameBytes(codedWidth, codedHeight);  // checked by Open
    std::vector<uint8_t>& target = rotation == 0 ? out : unturned;
    // swscale's SIMD converters write whole groups of 8 pixels and leave the
    // last pixels of a row unconverted when the stride has no room for that:
    // rows are converted with room, then closed up.
    const std::size_t rowBytes = static_cast<std::size_t>(codedWidth) * 3;
    const std::size_t padded = (rowBytes + 23) / 24 * 24;  // whole groups of 8 pixels
    target.resize(padded * static_cast<std::size_t>(codedHeight) + kScalerSlack);
    uint8_t* planes[1] = {target.data()};
    const int strides[1] = {static_cast<int>(padded)};
    const bool scaled = sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height,
                                  planes, strides) == codedHeight;
    for (std::size_t y = 1; padded != rowBytes && y < static_cast<std::size_t>(codedHeight); ++y)
        std::memmove(target.data() + y * rowBytes, target.data() + y * padded, rowBytes);
    target.resize(bytes);  // keeps the capacity: no allocation for the next frame
    if (!scaled)
        return false;
    if (rotation != 0) {
        out.resize(bytes);
        turnPicture(unturned.data(), codedWidth, codedHeight, rotation, out.data());
    }
    return true;
}

// The delivered picture: kept in its planes when it can be read row by row as
// it is, else converted whole. Null when it cannot be converted.
std::shared_ptr<const Picture> VideoDecoder::Impl::takePicture()
{
    if (rotation == 0 && frame->width == codedWidth && frame->height == codedHeight)
        if (auto planar = takePlanarPicture(*frame))
            return planar;
    std::vector<uint8_t> pixels;
    if (!convertFrame(pixels))
        return nullptr;
    const bool sideways = rotation == 90 || rotation == 270;
    return std::make_shared<FramePicture>(std::move(pixels), sideways ? codedHeight : codedWidth,
                                          sideways ? codedWidth : codedHeight);
}

// Sends the demuxer to the key frame at or before `seconds`; at or before 0
// to the very beginning, by bytes where time stamps are searched rather than
// indexed.
void VideoDecoder::Impl::moveDemuxer(double seconds)
{
    if (seconds <= 0.0 && (input->context()->iformat->flags & AVFMT_TS_DISCONT)) {
        av_seek_frame(input->context(), -1, 0, AVSEEK_FLAG_BYTE);
    } else {
        const int64_t origin = start == AV_NOPTS_VALUE ? 0 : start;
        av_seek_frame(input->context(), stream->index,
                      ticksOf(std::max(seconds, 0.0), stream->time_base, origin),
                      AVSEEK_FLAG_BACKWARD);
    }
    avcodec_flush_buffers(codec.get());
    inputEnded = false;
    dropKept();
}

void VideoDecoder::Impl::keepFrame(double frameTime)
{
    dropKept();
    av_frame_move_ref(kept.get(), frame.get());
    keptTime = frameTime;
    hasKept = true;
}

// Makes the kept picture the one to deliver; `frame` goes into its place,
// where a picture in it waits to come next.
void VideoDecoder::Impl::takeKept(double& frameTime, bool frameComesNext)
{
    std::swap(frame, kept);
    std::swap(frameTime, keptTime);
    hasKept = frameComesNext;
}

// The next picture to deliver into `frame`, at `frameTime`; false at the end,
// on an error or on a stop. `lastPosition` and `fps` place a frame that has
// no time stamp.
bool VideoDecoder::Impl::nextPicture(double& frameTime, double lastPosition, double fps)
{
    for (;;) {
        if (hasKept && !seek.active()) {
            takeKept(frameTime, false);
            return true;
        }
        if (!receiveFrame()) {
            if (stopped || !seek.active())
                return false;
            if (seek.endReached(hasKept)) {
                moveDemuxer(seek.backPosition());
                continue;
            }
            if (!hasKept)
                return false;
            takeKept(frameTime, false);  // the stream ended after it: it stays on screen
            return true;
        }
        const int64_t timestamp = frame->best_effort_timestamp;
        if (timestamp == AV_NOPTS_VALUE) {
            // Nothing to compare with: a seek ends here, and the frame is
            // taken to follow the previous one.
            frameTime = lastPosition + 1.0 / fps;
            seek.finish();
            dropKept();
            return true;
        }
        if (start == AV_NOPTS_VALUE)
            start = timestamp;
        frameTime = secondsOf(timestamp);
        if (!seek.active())
            return true;
        switch (seek.offer(frameTime, hasKept)) {
        case SeekPlan::Step::Keep:
            keepFrame(frameTime);
            continue;
        case SeekPlan::Step::MoveBack:
            av_frame_unref(frame.get());
            moveDemuxer(seek.backPosition());
            continue;
        case SeekPlan::Step::Deliver:
            dropKept();
            return true;
        case SeekPlan::Step::DeliverKept:
            takeKept(frameTime, true);
            return true;
        }
    }
}

VideoDecoder::VideoDecoder() = default;

VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::Open(const wchar_t* path)
{
    Close();
    auto impl = std::make_unique<Impl>();
    if (!impl->packet || !impl->frame || !impl->kept)
        return false;
    impl->stopRequested = &m_stopRequested;
    impl->input = MediaInput::open(path, AVIOInterruptCB{&Impl::interruptInput, impl.get()});
    if (!impl->input)
        return false;
    AVFormatContext* input = impl->input->context();
    impl->stream = firstVideoStream(input);
    if (impl->stream == nullptr)
        return false;
    const AVCodecParameters& params = *impl->stream->codecpar;
    if (!frameBytes(params.width, params.height))
        return false;
    impl->codec = impl->input->decodeOnly(impl->stream, decoderThreads(input, impl->stream));
    if (!impl->codec)
        return false;

    impl->codedWidth = params.width;
    impl->codedHeight = params.height;
    impl->rotation = displayRotation(impl->stream);
    const bool sideways = impl->rotation == 90 || impl->rotation == 270;
    m_width = static_cast<uint32_t>(sideways ? params.height : params.width);
    m_height = static_cast<uint32_t>(sideways ? params.width : params.height);
    m_stride = static_cast<int32_t>(m_width * 3);

    const AVRational rate = av_guess_frame_rate(input, impl->stream, nullptr);
    m_fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : kDefaultFps;

    const AVStream& stream = *impl->stream;
    const AVFormatContext& container = *input;
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0)
        m_duration = static_cast<double>(stream.duration) * av_q2d(stream.time_base);
    else if (container.duration != AV_NOPTS_VALUE && container.duration > 0)
        m_duration = static_cast<double>(container.duration) / AV_TIME_BASE;

    // Without a start time in the stream, the container's start or else the
    // first frame read fixes the origin of the time line.
    if (stream.start_time != AV_NOPTS_VALUE)
        impl->start = stream.start_time;
    else if (container.start_time != AV_NOPTS_VALUE)
        impl->start = av_rescale_q(container.start_time, AV_TIME_BASE_Q, stream.time_base);

    m_position = 0.0;
    impl->armed = true;
    m_impl = std::move(impl);
    return true;
}

void VideoDecoder::Close()
{
    m_impl.reset();
    resetStreamInfo();
}

std::shared_ptr<const Picture> VideoDecoder::ReadPicture()
{
    if (!m_impl)
        return nullptr;
    Impl& d = *m_impl;
    d.stopped = false;
    double frameTime = 0.0;
    if (!d.nextPicture(frameTime, m_position, m_fps))
        return nullptr;
    std::shared_ptr<const Picture> picture = d.takePicture();
    m_position = frameTime;
    av_frame_unref(d.frame.get());
    return picture;
}

bool VideoDecoder::ReadFrame(std::vector<uint8_t>& out)
{
    const std::shared_ptr<const Picture> picture = ReadPicture();
    return picture && readFrame(picture, out);
}

void VideoDecoder::SeekTo(double seconds)
{
    if (!m_impl || std::isnan(seconds))
        return;
    Impl& d = *m_impl;
    d.stopped = false;
    m_position = d.seek.start(seconds, m_duration);
    d.moveDemuxer(m_position);
}

void VideoDecoder::SeekToStart()
{
    SeekTo(0.0);
}
