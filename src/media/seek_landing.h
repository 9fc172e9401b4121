#pragma once

#include <algorithm>

// How both decoder layers land a seek. The source is sent to the key frame
// at or before the target; from there pictures are decoded until the one on
// screen at the target is known: the last one whose time is at or before it,
// or the first picture of the stream for a target before it.

// Time stamps are rounded to the stream's time base, so a picture this close
// to the target counts as at it.
inline constexpr double kSeekSlack = 1e-4;
// Seconds beyond any real clip: where a seek aims when the end is unknown.
inline constexpr double kUnknownEnd = 1.0e7;

// The target `seconds` (not NaN) as a place on the time line: 0 before the
// start, the end after it (`duration`, when known, i.e. above 0).
inline double seekPosition(double seconds, double duration)
{
    return std::clamp(seconds, 0.0, duration > 0.0 ? duration : kUnknownEnd);
}

enum class SeekLanding {
    Keep,         // at or before the target, and a later picture may be too: keep it, read on
    Deliver,      // this picture is on screen at the target (or is the first there is)
    DeliverKept,  // the kept picture is on screen at the target; this one comes next
};

// What a seek to `target` does with the next picture, at `time`.
inline SeekLanding seekLanding(double target, double time, bool hasKept)
{
    if (time <= target + kSeekSlack)
        return time + kSeekSlack < target ? SeekLanding::Keep : SeekLanding::Deliver;
    return hasKept ? SeekLanding::DeliverKept : SeekLanding::Deliver;
}
