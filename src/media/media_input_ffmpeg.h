#pragma once

#include "media/ffmpeg_owners.h"

#include <memory>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

// A media file opened by FFmpeg and confined to that one file: only the
// demuxers of the containers the program offers, only the "file" protocol,
// and nothing the file names (a playlist's entries, another container's data,
// a FIFO that would block) is ever opened. What reads a media file with
// FFmpeg opens it through here.
class MediaInput {
public:
    // Null unless `path` opens as one of the offered containers and its
    // streams are found. `interrupt` is asked before every read, from opening
    // on.
    static std::unique_ptr<MediaInput> open(const wchar_t* path, const AVIOInterruptCB& interrupt);
    ~MediaInput();
    MediaInput(const MediaInput&) = delete;
    MediaInput& operator=(const MediaInput&) = delete;

    AVFormatContext* context() const { return m_context; }
    // An open decoder for `stream` with `threads` threads (0: one per core),
    // and only that stream demuxed from now on; null where it cannot be
    // decoded here.
    CodecPtr decodeOnly(const AVStream* stream, int threads);

private:
    MediaInput() = default;
    // FFmpeg's io_open: lets the one URL asked for through, once.
    static int openOnce(AVFormatContext* context, AVIOContext** pb, const char* url, int flags,
                        AVDictionary** options);

    std::string m_url;
    bool m_opened = false;
    decltype(AVFormatContext::io_open) m_openDefault = nullptr;
    AVFormatContext* m_context = nullptr;
};
