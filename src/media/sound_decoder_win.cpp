// The Windows layer decodes no sound: its camera library brings no microphone
// to send it to, so a sound track always reads as missing there.
#include "media/sound_decoder.h"

struct SoundDecoder::Impl {};

SoundDecoder::SoundDecoder() = default;

SoundDecoder::~SoundDecoder() = default;

bool SoundDecoder::Open(const wchar_t*)
{
    return false;
}

void SoundDecoder::Close() {}

bool SoundDecoder::Read(std::vector<float>&, double&)
{
    return false;
}

void SoundDecoder::SeekTo(double) {}
