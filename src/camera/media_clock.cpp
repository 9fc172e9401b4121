#include "camera/media_clock.h"

#include <algorithm>
#include <cmath>

namespace {

using Clock = MediaClock::Clock;

// Held to what the clock can count: a damaged file may stamp any time.
Clock::duration durationOf(double seconds)
{
    constexpr double kLimit = 1e9;  // about 30 years
    const double held = std::isnan(seconds) ? 0.0 : std::clamp(seconds, -kLimit, kLimit);
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(held));
}

Clock::duration magnitude(Clock::duration d)
{
    return d < Clock::duration::zero() ? -d : d;
}

} // namespace

bool MediaClock::frameShown(double media, Clock::time_point at, bool jumped)
{
    m_lastShown = media;
    const Clock::duration offset = at.time_since_epoch() - durationOf(media);
    if (jumped || m_epoch == 0)
        return adopt(offset);
    const Clock::duration late = offset - m_offset;
    if (late < -kEarly)
        return adopt(offset);
    if (late <= kTolerance) {
        m_late = false;
        return false;
    }
    if (m_late && magnitude(offset - m_lateOffset) <= kTolerance)
        return adopt(std::min(offset, m_lateOffset));
    m_late = true;
    m_lateOffset = offset;
    return false;
}

bool MediaClock::adopt(Clock::duration offset)
{
    m_offset = offset;
    m_late = false;
    ++m_epoch;
    return true;
}

Clock::time_point MediaClock::timeOf(double media) const
{
    return Clock::time_point(m_offset + durationOf(media));
}

double MediaClock::mediaAt(Clock::time_point at) const
{
    return std::chrono::duration<double>(at.time_since_epoch() - m_offset).count();
}
