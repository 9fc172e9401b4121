// VideoDecoder on any bytes: open, a few reads, a seek (to where the input's
// last byte says), more reads. Every frame read has the size the decoder gives.
#include "input_file.h"
#include "media/video_decoder.h"

#include <cstdlib>
#include <vector>

namespace {

void readSome(VideoDecoder& decoder, std::vector<uint8_t>& frame)
{
    for (int i = 0; i < 3 && decoder.ReadFrame(frame); ++i) {
        if (frame.size() != std::size_t{decoder.m_width} * decoder.m_height * 3)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static InputFile input;
    const std::wstring path = input.write(data, size);
    VideoDecoder decoder;
    if (!decoder.Open(path.c_str()))
        return 0;
    std::vector<uint8_t> frame;
    readSome(decoder, frame);
    decoder.SeekTo(decoder.m_duration * (size > 0 ? data[size - 1] : 0) / 255.0);
    readSome(decoder, frame);
    return 0;
}
