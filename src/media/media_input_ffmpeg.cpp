#include "media/media_input_ffmpeg.h"

#include "media/wide_path_linux.h"

#include <cerrno>
#include <optional>

namespace {

// The demuxers of the containers the program offers: mp4 and mov, avi, wmv
// (ASF), mkv (and WebM), and MPEG-TS for ts, m2ts and mts.
constexpr const char* kContainers = "mov,avi,asf,matroska,mpegts";

} // namespace

std::unique_ptr<MediaInput> MediaInput::open(const wchar_t* path, const AVIOInterruptCB& interrupt)
{
    // The program writes no log; FFmpeg would report every damaged packet.
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)quiet;
    const std::optional<std::string> utf8 = utf8FromWide(path);
    if (!utf8)
        return nullptr;
    std::unique_ptr<MediaInput> input(new MediaInput);
    AVFormatContext* context = avformat_alloc_context();
    if (context == nullptr)
        return nullptr;
    context->interrupt_callback = interrupt;
    // The "file:" prefix keeps a name such as "a:b.mp4" from being read as a
    // protocol.
    input->m_url = "file:" + *utf8;
    input->m_openDefault = context->io_open;
    context->opaque = input.get();
    context->io_open = &MediaInput::openOnce;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", kContainers, 0);
    const int result = avformat_open_input(&context, input->m_url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (result < 0)
        return nullptr;  // avformat_open_input has freed the context
    input->m_context = context;
    if (avformat_find_stream_info(context, nullptr) < 0)
        return nullptr;
    return input;
}

MediaInput::~MediaInput()
{
    avformat_close_input(&m_context);
}

CodecPtr MediaInput::decodeOnly(const AVStream* stream, int threads)
{
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (decoder == nullptr)
        return nullptr;
    CodecPtr codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0)
        return nullptr;
    codec->pkt_timebase = stream->time_base;
    codec->thread_count = threads;
    codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return nullptr;
    for (unsigned i = 0; i < m_context->nb_streams; ++i) {
        if (m_context->streams[i] != stream)
            m_context->streams[i]->discard = AVDISCARD_ALL;
    }
    return codec;
}

int MediaInput::openOnce(AVFormatContext* context, AVIOContext** pb, const char* url, int flags,
                         AVDictionary** options)
{
    // Nested inputs share the opaque field with the one opened here.
    auto* input = static_cast<MediaInput*>(context->opaque);
    if (input->m_opened || url == nullptr || input->m_url != url)
        return AVERROR(EPERM);
    input->m_opened = true;
    return input->m_openDefault(context, pb, url, flags, options);
}
