#include "media/sound_decoder.h"

#include "media/ffmpeg_owners.h"
#include "media/media_input_ffmpeg.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Containers keep time stamps to a millisecond or so: sound this close to
// where the last block ended continues it, counted in samples.
constexpr double kSeamSeconds = 0.005;
// No sound lasts longer than this (some 115 days).
constexpr double kMaxSeconds = 1e7;

// Where the video's time line starts, in the container's seconds: the start
// of its first video stream as VideoDecoder counts it, else the container's.
double timeLineOrigin(const AVFormatContext& input)
{
    for (unsigned i = 0; i < input.nb_streams; ++i) {
        const AVStream& stream = *input.streams[i];
        if (stream.codecpar->codec_type != AVMEDIA_TYPE_VIDEO || (stream.disposition & AV_DISPOSITION_ATTACHED_PIC))
            continue;
        if (stream.start_time != AV_NOPTS_VALUE)
            return double(stream.start_time) * av_q2d(stream.time_base);
        break;
    }
    return input.start_time != AV_NOPTS_VALUE ? double(input.start_time) / AV_TIME_BASE : 0.0;
}

}  // namespace

struct SoundDecoder::Impl {
    std::unique_ptr<MediaInput> input;
    AVStream* stream = nullptr;  // owned by input
    CodecPtr codec;
    PacketPtr packet{av_packet_alloc()};
    FramePtr frame{av_frame_alloc()};
    double origin = 0.0;     // container seconds of the time line's zero
    double next = 0.0;       // time of the frame after the last one decoded
    double delivered = -1.0; // where the last block delivered ended; -1 after a seek
    double target = -1.0;    // a seek's target, until sound from there is delivered
    bool inputEnded = false; // the decoder has been told that no packets follow
    bool drained = false;    // and the resampler has given up what it held

    // Made again whenever the decoded sound's format changes.
    ResamplerPtr resampler;
    AVChannelLayout resamplerLayout{};
    int resamplerFormat = AV_SAMPLE_FMT_NONE;
    int resamplerRate = 0;

    const std::function<bool()>* stopRequested = nullptr;

    ~Impl() { av_channel_layout_uninit(&resamplerLayout); }
    bool stopNow() const { return *stopRequested && (*stopRequested)(); }
    static int interruptInput(void* opaque) { return static_cast<const Impl*>(opaque)->stopNow(); }

    bool sendNextPacket();
    bool decodeFrame();
    bool prepareResampler();
    bool resample(const uint8_t** data, int count, std::vector<float>& out);
    void keepFromTarget(std::vector<float>& samples, double& seconds);
    // Places a block of sound stamped `seconds`; false when nothing of it is kept.
    bool deliver(std::vector<float>& samples, double& seconds);
};

// Hands the track's next packet to the decoder; false at the end of the file,
// on a read error and on a stop.
bool SoundDecoder::Impl::sendNextPacket()
{
    while (!stopNow() && av_read_frame(input->context(), packet.get()) >= 0) {
        const bool ours = packet->stream_index == stream->index;
        if (ours)
            avcodec_send_packet(codec.get(), packet.get());  // a refused (damaged) packet is skipped
        av_packet_unref(packet.get());
        if (ours)
            return true;
    }
    return false;
}

// Decodes until `frame` holds sound; false once the decoder is drained.
bool SoundDecoder::Impl::decodeFrame()
{
    while (avcodec_receive_frame(codec.get(), frame.get()) != 0) {
        // EAGAIN wants a packet; a damaged frame is passed over the same way.
        if (inputEnded || stopNow())
            return false;
        if (!sendNextPacket()) {
            inputEnded = true;
            avcodec_send_packet(codec.get(), nullptr);
        }
    }
    return true;
}

bool SoundDecoder::Impl::prepareResampler()
{
    const AVFrame& f = *frame;
    AVChannelLayout layout{};
    if (f.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, f.ch_layout.nb_channels);
    else if (av_channel_layout_copy(&layout, &f.ch_layout) < 0)
        return false;
    if (resampler && f.format == resamplerFormat && f.sample_rate == resamplerRate &&
        av_channel_layout_compare(&layout, &resamplerLayout) == 0) {
        av_channel_layout_uninit(&layout);
        return true;
    }
    av_channel_layout_uninit(&resamplerLayout);
    resamplerLayout = layout;
    resamplerFormat = f.format;
    resamplerRate = f.sample_rate;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* made = nullptr;
    if (swr_alloc_set_opts2(&made, &stereo, AV_SAMPLE_FMT_FLT, kRate, &resamplerLayout,
                            static_cast<AVSampleFormat>(f.format), f.sample_rate, 0, nullptr) < 0)
        return false;
    resampler.reset(made);
    if (swr_init(made) < 0) {
        resampler.reset();
        return false;
    }
    return true;
}

// Converts `count` frames of decoded sound (null: what the resampler still
// holds) into `out`.
bool SoundDecoder::Impl::resample(const uint8_t** data, int count, std::vector<float>& out)
{
    const int room = swr_get_out_samples(resampler.get(), count);
    if (room < 0)
        return false;
    out.resize(size_t(room) * kChannels);
    uint8_t* planes[1] = {reinterpret_cast<uint8_t*>(out.data())};
    const int made = swr_convert(resampler.get(), planes, room, data, count);
    out.resize(size_t(std::max(made, 0)) * kChannels);
    return made >= 0;
}

// After a seek: drops what comes before the target.
void SoundDecoder::Impl::keepFromTarget(std::vector<float>& samples, double& seconds)
{
    if (target < 0.0)
        return;
    const double frames = double(samples.size() / kChannels);
    const long early = std::lround(std::clamp((target - seconds) * kRate, 0.0, frames));
    samples.erase(samples.begin(), samples.begin() + early * kChannels);
    seconds += double(early) / kRate;
    if (!samples.empty())
        target = -1.0;  // from here on, sound from the target (or the first after it)
}

bool SoundDecoder::Impl::deliver(std::vector<float>& samples, double& seconds)
{
    if (delivered >= 0.0 && std::abs(seconds - delivered) < kSeamSeconds)
        seconds = delivered;
    keepFromTarget(samples, seconds);
    if (samples.empty())
        return false;
    delivered = seconds + double(samples.size() / kChannels) / kRate;
    return true;
}

SoundDecoder::SoundDecoder() = default;

SoundDecoder::~SoundDecoder() = default;

bool SoundDecoder::Open(const wchar_t* path)
{
    Close();
    auto impl = std::make_unique<Impl>();
    if (!impl->packet || !impl->frame)
        return false;
    impl->stopRequested = &m_stopRequested;
    impl->input = MediaInput::open(path, AVIOInterruptCB{&Impl::interruptInput, impl.get()});
    if (!impl->input)
        return false;
    AVFormatContext* input = impl->input->context();
    const int index = av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0)
        return false;
    impl->stream = input->streams[index];
    impl->codec = impl->input->decodeOnly(impl->stream, 1);
    if (!impl->codec)
        return false;
    impl->origin = timeLineOrigin(*input);
    m_impl = std::move(impl);
    return true;
}

void SoundDecoder::Close()
{
    m_impl.reset();
}

bool SoundDecoder::Read(std::vector<float>& samples, double& seconds)
{
    if (!m_impl)
        return false;
    Impl& d = *m_impl;
    while (d.decodeFrame()) {
        const AVFrame& f = *d.frame;
        const double stamped = f.best_effort_timestamp != AV_NOPTS_VALUE
                                   ? double(f.best_effort_timestamp) * av_q2d(d.stream->time_base) - d.origin
                                   : d.next;
        // A damaged file may stamp any time: one past all reason follows the last.
        const double time = std::abs(stamped) < kMaxSeconds ? stamped : d.next;
        const bool usable = f.sample_rate > 0 && d.prepareResampler();
        // The resampler's first output is sound it held back from earlier input.
        const double held = usable ? double(swr_get_delay(d.resampler.get(), kRate)) / kRate : 0.0;
        const bool converted =
            usable && d.resample(const_cast<const uint8_t**>(f.extended_data), f.nb_samples, samples);
        d.next = time + (f.sample_rate > 0 ? double(f.nb_samples) / f.sample_rate : 0.0);
        av_frame_unref(d.frame.get());
        if (!converted)
            continue;  // sound this decoder cannot convert is left out
        seconds = time - held;
        if (d.deliver(samples, seconds))
            return true;
    }
    // At the end, what the resampler still holds, once.
    if (!d.inputEnded || d.drained || !d.resampler || d.stopNow())
        return false;
    d.drained = true;
    seconds = d.next - double(swr_get_delay(d.resampler.get(), kRate)) / kRate;
    return d.resample(nullptr, 0, samples) && d.deliver(samples, seconds);
}

void SoundDecoder::SeekTo(double seconds)
{
    if (!m_impl || std::isnan(seconds))
        return;
    Impl& d = *m_impl;
    d.target = std::clamp(seconds, 0.0, kMaxSeconds);
    // The container's position, in the units of a seek without a stream.
    constexpr double kLimit = 4.0e18;
    const double position = std::clamp((d.target + d.origin) * AV_TIME_BASE, -kLimit, kLimit);
    av_seek_frame(d.input->context(), -1, static_cast<int64_t>(position), AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(d.codec.get());
    d.resampler.reset();  // what it holds comes from before the seek
    d.inputEnded = false;
    d.drained = false;
    d.next = d.target;
    d.delivered = -1.0;
}
