// The microphone's queue on its own: what a read at a time gets from the writes before it.
#include "sound_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// At 1000 frames a second a frame lasts a millisecond: times below are frames.
constexpr int64_t kMs = 1'000'000;

struct Write {
    int first, count;  // frames first, first + 1, ...; no frames: silence from then on
    double at;
    int64_t now = 0;   // when it is written
};

TEST(SoundQueue, ReadsGetWhatIsDueAtTheirTime)
{
    const struct {
        const char* what;
        std::vector<Write> writes;
        int64_t readAt;
        std::vector<float> heard;  // 6 frames
    } cases[] = {
        {"on time", {{1, 10, 0}}, 0, {1, 2, 3, 4, 5, 6}},
        {"a late reader skips what is past", {{1, 10, 0}}, 3, {4, 5, 6, 7, 8, 9}},
        {"an early reader waits behind silence", {{1, 10, 4}}, 0, {0, 0, 0, 0, 1, 2}},
        {"a write replaces from its time on", {{1, 10, 0}, {21, 3, 2}}, 0, {1, 2, 21, 22, 23, 0}},
        {"an empty write silences from its time on", {{1, 10, 0}, {0, 0, 3}}, 0, {1, 2, 3, 0, 0, 0}},
        {"a block within the seam continues the last", {{1, 3, 0}, {4, 3, 3.6}}, 0, {1, 2, 3, 4, 5, 6}},
        {"a gap is silence", {{1, 2, 0}, {4, 3, 4}}, 0, {1, 2, 0, 0, 4, 5}},
        {"a small lead is taken up a frame at a time", {{1, 10, 0}}, 1, {2, 3, 4, 5, 6, 7}},
        {"and a small lag too", {{1, 10, 1}}, 0, {1, 1, 2, 3, 4, 5}},
        {"sound nobody took in time goes", {{1, 10, 0}, {21, 3, 500, 300}}, 0, {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SoundQueue queue(1000, 1);
        for (const Write& w : c.writes) {
            std::vector<float> frames;
            for (int i = 0; i < w.count; ++i)
                frames.push_back(float(w.first + i));
            queue.write(frames.data(), w.count, int64_t(w.at * kMs), w.now * kMs);
        }
        std::vector<float> heard(6, -1.0f);
        queue.read(heard.data(), 6, c.readAt * kMs);
        EXPECT_EQ(heard, c.heard) << c.what;
    }
}

// Reads one after another take the queued sound on seamlessly, in two channels.
TEST(SoundQueue, SuccessiveReadsContinueTheSound)
{
    SoundQueue queue(1000, 2);
    const std::vector<float> sound = {1, -1, 2, -2, 3, -3, 4, -4};
    queue.write(sound.data(), 4, 0, 0);
    std::vector<float> first(4), second(4);
    queue.read(first.data(), 2, 0);
    queue.read(second.data(), 2, 2 * kMs);
    EXPECT_EQ(first, std::vector<float>(sound.begin(), sound.begin() + 4));
    EXPECT_EQ(second, std::vector<float>(sound.begin() + 4, sound.end()));
}

} // namespace
