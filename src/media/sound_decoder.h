#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// Decodes the sound track of a video file (its main one where it has
// several) into interleaved 32-bit float samples at kRate frames a second in
// kChannels channels, whatever the track's own rate and channels: the format
// PipeWire programs take as it is.
// One thread at a time uses a decoder; failures are false results.
//
// Time line: the video's (VideoDecoder): seconds from the video stream's
// start, so that a sample and the picture shown at the same seconds belong
// together.
class SoundDecoder {
public:
    static constexpr int kRate = 48000;
    static constexpr int kChannels = 2;

    SoundDecoder();
    ~SoundDecoder();
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    // Opens the file's sound (closing any open one first). False for a file
    // without a sound track, or with none that can be decoded here.
    bool Open(const wchar_t* path);
    void Close();
    // The next block of sound (kChannels samples a frame) and the time of its
    // first frame. Damaged packets are skipped: what follows keeps its own
    // time. False at the end of the track, when the track cannot go on,
    // after a stop (see SetInterruptCheck) and when closed.
    bool Read(std::vector<float>& samples, double& seconds);
    // The next read starts with the frame heard at `seconds` (the track's
    // first for an earlier time); NaN is ignored.
    void SeekTo(double seconds);
    // Reads and seeks give up as soon as `stopRequested` returns true. Set it
    // while no other thread uses the decoder.
    void SetInterruptCheck(std::function<bool()> stopRequested)
    {
        m_stopRequested = std::move(stopRequested);
    }

private:
    std::function<bool()> m_stopRequested;
    struct Impl;  // null when closed
    std::unique_ptr<Impl> m_impl;
};
