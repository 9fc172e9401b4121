// VideoDecoder and SoundDecoder on any bytes: open, a few reads, a seek (to
// where the input's last byte says), more reads. Every frame read has the
// size the decoder gives; every block of sound is whole frames with a time.
#include "input_file.h"
#include "media/sound_decoder.h"
#include "media/video_decoder.h"

#include <cmath>
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

void hearSome(SoundDecoder& decoder)
{
    std::vector<float> samples;
    double seconds = 0.0;
    for (int i = 0; i < 8 && decoder.Read(samples, seconds); ++i) {
        if (samples.size() % SoundDecoder::kChannels != 0 || !(std::abs(seconds) < 1e8))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static InputFile input;
    const std::wstring path = input.write(data, size);
    const double where = (size > 0 ? data[size - 1] : 0) / 255.0;
    SoundDecoder sound;
    if (sound.Open(path.c_str())) {
        hearSome(sound);
        sound.SeekTo(10.0 * where);
        hearSome(sound);
    }
    VideoDecoder decoder;
    if (!decoder.Open(path.c_str()))
        return 0;
    std::vector<uint8_t> frame;
    readSome(decoder, frame);
    decoder.SeekTo(decoder.m_duration * where);
    readSome(decoder, frame);
    return 0;
}
