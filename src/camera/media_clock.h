#pragma once

#include <chrono>
#include <cstdint>

// When each moment of a video is shown, learnt from the frames the camera
// thread sends: a moment `media` seconds into the video is shown at
// timeOf(media). The sound follows this clock, so it goes where the picture
// goes, whatever paces the picture.
//
// A mapping holds from one frame to the next (an epoch) until the picture
// jumps or its timing moves: a seek, a loop or a resume starts a new epoch,
// and so does a camera that falls behind (two frames in a row late by the
// same amount) or a frame shown earlier than the mapping says (the frame the
// mapping was taken from came late). A single late frame is jitter and
// changes nothing. A plain value: its user guards it.
class MediaClock {
public:
    using Clock = std::chrono::steady_clock;

    // Frames later than the timing by up to this much are jitter.
    static constexpr Clock::duration kTolerance = std::chrono::milliseconds(5);
    // A frame earlier than the timing by more than this shows that the timing
    // was taken from a frame that came late: a busy machine's first frame.
    static constexpr Clock::duration kEarly = std::chrono::milliseconds(2);

    // The frame at `media` seconds was shown at `at`; `jumped` when it does
    // not follow the frame before in the video. True when a new epoch began.
    bool frameShown(double media, Clock::time_point at, bool jumped);

    // Nothing shown yet: 0; one more for every epoch.
    std::uint64_t epoch() const { return m_epoch; }
    // Media seconds of the last frame shown.
    double lastShown() const { return m_lastShown; }
    Clock::time_point timeOf(double media) const;
    double mediaAt(Clock::time_point at) const;

private:
    bool adopt(Clock::duration offset);

    std::uint64_t m_epoch = 0;
    double m_lastShown = 0.0;
    Clock::duration m_offset{};      // time shown minus media time, this epoch
    bool m_late = false;             // the last frame came late by m_lateOffset
    Clock::duration m_lateOffset{};
};
