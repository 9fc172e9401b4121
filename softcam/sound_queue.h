#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

// Sound on its way to PipeWire: interleaved float frames, each stamped with
// the time it is to be heard (nanoseconds on CLOCK_MONOTONIC). One thread
// writes, PipeWire's processing thread reads; the lock covers a copy of one
// block at most.
//
// The writer says when; the reader asks for what is due at a time of the
// graph's clock, so the two never drift apart: sound due before the reader
// asks is skipped, sound due later waits behind silence, and the small, slow
// difference between the graph's clock and the monotonic one is taken up one
// frame at a time.
class SoundQueue {
public:
    // Frames beyond this much queued sound are dropped.
    static constexpr double kCapacitySeconds = 2.0;

    SoundQueue(int rate, int channels);

    // Queues `frames` frames to be heard from `timeNs` on. Whatever was queued
    // from that time on is replaced; with no frames, what was queued from then
    // on goes (silence). A block that starts within a millisecond of the queued
    // sound's end continues it seamlessly. Sound due before `nowNs` that the
    // reader has not taken goes too: a reader that comes late gets what is due
    // then, never a backlog. A block meant for a minute or more from now is
    // dropped.
    void write(const float* samples, int frames, int64_t timeNs, int64_t nowNs);

    // Fills `frames` frames meant to be heard from `timeNs` on; silence where
    // nothing is queued for that time.
    void read(float* out, int frames, int64_t timeNs);

private:
    // Frame index (counted from the origin) of a time; fractional.
    double frameAt(int64_t timeNs) const;
    void restartAt(int64_t timeNs);
    void dropFront(int64_t frames);
    void append(const float* samples, int64_t frames);  // null: silence
    void copyFront(float* out, int64_t frames) const;

    const int m_rate;
    const int m_channels;
    const int64_t m_capacity;  // frames
    std::vector<float> m_ring;
    int64_t m_head = 0;        // ring position of the first queued frame
    int64_t m_count = 0;       // frames queued
    // The first queued frame is frame m_headFrame after the origin, heard at
    // m_originNs + m_headFrame / rate seconds: kept as a count, so that no
    // rounding adds up however long a run of sound lasts.
    int64_t m_originNs = 0;
    int64_t m_headFrame = 0;
    std::mutex m_mutex;
};
