#pragma once

#include <algorithm>

// One seek of a decoder, the same for both platform layers. The source is
// sent to the key frame at or before the target; from there pictures are
// decoded until the one on screen at the target is known: the last one whose
// time is at or before it, or the first picture of the stream for a target
// before that. A source that lands after the target, or past the last
// picture, is sent further back: 1, 2, 4 ... seconds before the target.
class SeekPlan {
public:
    enum class Step {
        Keep,         // at or before the target, and a later picture may be too: keep it, read on
        Deliver,      // this picture is on screen at the target (or is the first there is)
        DeliverKept,  // the kept picture is on screen at the target; this one comes next
        MoveBack,     // the source landed after the target: drop this, send it to backPosition()
    };

    // Starts a seek to `seconds` (not NaN) in a stream `duration` long (0 when
    // unknown). Returns where the source goes: the target held to 0 .. end.
    double start(double seconds, double duration)
    {
        m_target = std::max(seconds, 0.0);
        m_aim = std::clamp(seconds, 0.0, duration > 0.0 ? duration : kUnknownEnd);
        m_back = 0.0;
        m_landed = false;
        return m_aim;
    }
    bool active() const { return m_target >= 0.0; }
    // Ends the seek where nothing is left to compare (a picture without time).
    void finish() { m_target = -1.0; }

    // The next picture since the source moved, at `time` seconds.
    Step offer(double time, bool hasKept)
    {
        const bool firstSinceMove = !m_landed;
        m_landed = true;
        Step step = Step::Deliver;
        if (time <= m_target + kSeekSlack)
            step = time + kSeekSlack < m_target ? Step::Keep : Step::Deliver;
        else if (hasKept)
            step = Step::DeliverKept;
        else if (firstSinceMove && moveBack())
            return Step::MoveBack;
        if (step != Step::Keep)
            finish();
        return step;
    }

    // The stream ended during the seek. True when the source landed past the
    // last picture and goes further back (to backPosition()); false when the
    // seek is over, the kept picture (if any) being the one on screen.
    bool endReached(bool hasKept)
    {
        if (!hasKept && !m_landed && moveBack())
            return true;
        finish();
        return false;
    }

    double backPosition() const { return std::max(m_aim - m_back, 0.0); }

private:
    // Time stamps are rounded to the stream's time base, so a picture this
    // close to the target counts as at it.
    static constexpr double kSeekSlack = 1e-4;
    // Seconds beyond any real clip: where a seek aims when the end is unknown.
    static constexpr double kUnknownEnd = 1.0e7;

    bool moveBack()
    {
        if (m_aim - m_back <= 0.0)
            return false;  // the start was tried
        m_back = std::max(1.0, m_back * 2.0);
        m_landed = false;
        return true;
    }

    double m_target = -1.0;  // seconds; below 0 when no seek is pending
    double m_aim = 0.0;      // the target held to the time line
    double m_back = 0.0;     // how far before the aim the source was last sent
    bool m_landed = false;   // a picture has come since the source last moved
};
