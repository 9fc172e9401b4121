#include "sound_queue.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kNsPerSecond = 1e9;
// A block this close to the queued sound's end continues it.
constexpr double kSeamSeconds = 0.001;
// The reader jumps (skips sound, or waits behind silence) when the queued
// sound is this far off the time asked for; closer, it closes the gap one
// frame per read, unheard, from this far on.
constexpr double kJumpSeconds = 0.002;
constexpr double kDriftSeconds = 0.0005;
// Sound this long past due goes at the next write, taken or not.
constexpr int64_t kStaleNs = 100'000'000;
// A block meant for a time this far from now belongs to no stream that plays.
constexpr double kFarNs = 60e9;

} // namespace

SoundQueue::SoundQueue(int rate, int channels)
    : m_rate(rate)
    , m_channels(channels)
    , m_capacity(std::llround(kCapacitySeconds * rate))
    , m_ring(size_t(m_capacity) * size_t(channels))
{
}

double SoundQueue::frameAt(int64_t timeNs) const
{
    return (double(timeNs) - double(m_originNs)) * m_rate / kNsPerSecond;
}

void SoundQueue::restartAt(int64_t timeNs)
{
    m_count = 0;
    m_originNs = timeNs;
    m_headFrame = 0;
}

void SoundQueue::dropFront(int64_t frames)
{
    m_head = (m_head + frames) % m_capacity;
    m_count -= frames;
    m_headFrame += frames;
}

void SoundQueue::append(const float* samples, int64_t frames)
{
    frames = std::min(frames, m_capacity - m_count);
    int64_t at = (m_head + m_count) % m_capacity;
    for (int64_t left = frames; left > 0;) {
        const int64_t piece = std::min(left, m_capacity - at);
        float* to = m_ring.data() + at * m_channels;
        if (samples) {
            std::memcpy(to, samples, size_t(piece * m_channels) * sizeof(float));
            samples += piece * m_channels;
        } else {
            std::fill_n(to, piece * m_channels, 0.0f);
        }
        left -= piece;
        at = 0;
    }
    m_count += frames;
}

void SoundQueue::copyFront(float* out, int64_t frames) const
{
    int64_t at = m_head;
    for (int64_t left = frames; left > 0;) {
        const int64_t piece = std::min(left, m_capacity - at);
        std::memcpy(out, m_ring.data() + at * m_channels, size_t(piece * m_channels) * sizeof(float));
        out += piece * m_channels;
        left -= piece;
        at = 0;
    }
}

void SoundQueue::write(const float* samples, int frames, int64_t timeNs, int64_t nowNs)
{
    if (std::abs(double(timeNs) - double(nowNs)) > kFarNs)
        return;
    std::lock_guard lock(m_mutex);
    if (m_count > 0) {
        const auto stale = int64_t(std::floor(frameAt(nowNs - kStaleNs))) - m_headFrame;
        dropFront(std::clamp<int64_t>(stale, 0, m_count));
    }
    if (m_count > 0) {
        const double at = frameAt(timeNs);
        const double end = double(m_headFrame + m_count);
        const double seam = kSeamSeconds * m_rate;
        if (at < end - seam) {
            // Replaces what was queued from its time on.
            m_count = std::clamp<int64_t>(std::llround(at) - m_headFrame, 0, m_count);
        } else if (at > end + seam && frames > 0) {
            const int64_t gap = std::llround(at - end);
            if (m_count + gap < m_capacity)
                append(nullptr, gap);
            else
                m_count = 0;
        }
    }
    if (frames <= 0)
        return;
    if (m_count == 0)
        restartAt(timeNs);
    append(samples, frames);
}

void SoundQueue::read(float* out, int frames, int64_t timeNs)
{
    std::lock_guard lock(m_mutex);
    int64_t done = 0;
    if (m_count > 0) {
        // Positive: the queued sound is due later than asked for.
        const double early = double(m_headFrame) - frameAt(timeNs);
        if (early < -kJumpSeconds * m_rate) {
            dropFront(std::min<int64_t>(std::llround(-early), m_count));
        } else if (early > kJumpSeconds * m_rate) {
            done = std::min<int64_t>(std::llround(early), frames);
            std::fill_n(out, done * m_channels, 0.0f);
        } else if (early < -kDriftSeconds * m_rate) {
            dropFront(1);
        } else if (early > kDriftSeconds * m_rate && frames > 0) {
            copyFront(out, 1);  // the first frame twice
            done = 1;
        }
        const int64_t taken = std::min(frames - done, m_count);
        copyFront(out + done * m_channels, taken);
        dropFront(taken);
        done += taken;
    }
    std::fill(out + done * m_channels, out + int64_t(frames) * m_channels, 0.0f);
}
