// The clock the sound follows: which frames start a new timing and which are jitter.
#include "camera/media_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Clock = MediaClock::Clock;
using std::chrono::milliseconds;

struct Shown {
    int frame;        // at 25 a second
    int atMs;         // when it was shown
    bool jumped = false;
};

// Frames 40 ms apart from frame 0 shown at 1000 ms; each case ends with the
// epoch count and where frame 0 is then placed.
TEST(MediaClock, NewTimingsOnlyForJumpsSlipsAndEarlyFrames)
{
    const struct {
        const char* what;
        std::vector<Shown> frames;
        std::uint64_t epochs;
        int frameZeroAtMs;
    } cases[] = {
        {"steady", {{0, 1000}, {1, 1040}, {2, 1080}}, 1, 1000},
        {"a little jitter", {{0, 1000}, {1, 1044}, {2, 1079}}, 1, 1000},
        {"one late frame is jitter", {{0, 1000}, {1, 1060}, {2, 1080}}, 1, 1000},
        {"two alike late ones are a slip", {{0, 1000}, {1, 1060}, {2, 1101}}, 2, 1020},
        {"late twice, unlike, is jitter", {{0, 1000}, {1, 1060}, {2, 1130}}, 1, 1000},
        {"an early frame corrects the timing", {{0, 1010}, {1, 1040}}, 2, 1000},
        {"a jump starts anew", {{0, 1000}, {50, 1040, true}}, 2, -960},
    };
    for (const auto& c : cases) {
        MediaClock clock;
        for (const Shown& s : c.frames)
            clock.frameShown(s.frame / 25.0, Clock::time_point(milliseconds(s.atMs)), s.jumped);
        EXPECT_EQ(clock.epoch(), c.epochs) << c.what;
        EXPECT_EQ(std::chrono::round<milliseconds>(clock.timeOf(0.0).time_since_epoch()).count(), c.frameZeroAtMs)
            << c.what;
        EXPECT_DOUBLE_EQ(clock.lastShown(), c.frames.back().frame / 25.0) << c.what;
    }
}

} // namespace
