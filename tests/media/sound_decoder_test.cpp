// The sound decoder against the generated clips: the sound comes on the video's
// time line, at the right times also after a seek; files without sound have none.
#include "media/sound_decoder.h"

#include "support/sound_marks.h"
#include "support/test_media.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kRate = SoundDecoder::kRate;
constexpr int kChannels = SoundDecoder::kChannels;

// Reads to the end: the sound and the time of its first frame, with blocks
// checked to follow one another.
std::vector<float> readAll(SoundDecoder& decoder, double& first)
{
    std::vector<float> all, block;
    double seconds = 0.0;
    first = -1.0;
    while (decoder.Read(block, seconds)) {
        const double end = first + double(all.size() / kChannels) / kRate;
        if (first < 0.0)
            first = seconds;
        else
            EXPECT_NEAR(seconds, end, 1.0 / kRate) << "a gap or an overlap between blocks";
        all.insert(all.end(), block.begin(), block.end());
    }
    return all;
}

// tone_steps.mkv (4 s, 25 frames a second): each frame's start is heard at
// that frame's time, from the start and after seeks, the first one into the
// middle of a frame; Matroska keeps time stamps to the millisecond.
TEST(SoundDecoder, TheToneStepsAtEveryFramesTimeAlsoAfterASeek)
{
    for (const double from : {0.0, 1.3, 2.64}) {
        SCOPED_TRACE(from);
        SoundDecoder decoder;
        ASSERT_TRUE(decoder.Open(testMediaPath("tone_steps.mkv").c_str()));
        if (from > 0.0)
            decoder.SeekTo(from);
        double first = 0.0;
        const std::vector<float> sound = readAll(decoder, first);
        EXPECT_NEAR(first, from, 1e-3);
        EXPECT_NEAR(first + double(sound.size() / kChannels) / kRate, 4.0, 0.005);

        const auto boundaries = sound_marks::findBoundaries(sound.data(), sound.size() / kChannels, kChannels, kRate);
        const int framesAhead = int((4.0 - from) * 25.0);
        EXPECT_GE(int(boundaries.size()), framesAhead - 2);
        for (const sound_marks::Boundary& b : boundaries) {
            const double heard = first + b.position / kRate;
            const long frame = std::lround(heard * 25.0);
            EXPECT_NEAR(heard, frame / 25.0, 1e-3);
            EXPECT_EQ(b.step, frame % sound_marks::kSteps);
        }
    }
}

// Without a sound track there is nothing to open; damaged sound is read past,
// on the clip's time line, to its end.
TEST(SoundDecoder, FilesWithoutSoundHaveNoneAndDamagedSoundIsReadPast)
{
    for (const char* file : {"bars_25.mp4", "not_media.mp4", "no such file.mkv"}) {
        SoundDecoder decoder;
        EXPECT_FALSE(decoder.Open(testMediaPath(file).c_str())) << file;
        std::vector<float> block;
        double seconds = 0.0;
        EXPECT_FALSE(decoder.Read(block, seconds));
    }
    SoundDecoder decoder;
    ASSERT_TRUE(decoder.Open(testMediaPath("damaged_sound.mkv").c_str()));
    std::vector<float> block;
    double seconds = 0.0;
    while (decoder.Read(block, seconds)) {
        EXPECT_GE(seconds, -0.1);
        EXPECT_LE(seconds, 4.1);
    }
}

} // namespace
