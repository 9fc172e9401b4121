#include "frame_pacer.h"

#include <cerrno>
#include <cmath>
#include <ctime>

namespace {

constexpr int64_t kNsPerSecond = 1'000'000'000;

int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * kNsPerSecond + now.tv_nsec;
}

void sleepUntil(int64_t deadlineNs)
{
    const timespec deadline{static_cast<time_t>(deadlineNs / kNsPerSecond),
                            static_cast<long>(deadlineNs % kNsPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

} // namespace

FramePacer::FramePacer(double framesPerSecond)
    : m_intervalNs(std::llround(kNsPerSecond / framesPerSecond))
{
}

void FramePacer::waitForNextFrame()
{
    const int64_t now = monotonicNs();
    if (m_nextNs == 0 || m_nextNs <= now) {
        // First frame, or behind schedule: this one goes now, the next one
        // interval later; no burst of catch-up frames.
        m_nextNs = now + m_intervalNs;
        return;
    }
    sleepUntil(m_nextNs);
    m_nextNs += m_intervalNs;
}
