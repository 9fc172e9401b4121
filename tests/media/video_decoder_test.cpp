#include "media/video_decoder.h"

#include "support/frame_marks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::wstring widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring media(const char* file)
{
    return widen(std::string(ORVENNA_TEST_MEDIA_DIR) + "/" + file);
}

int markOf(const std::vector<uint8_t>& frame, const VideoDecoder& decoder)
{
    return frame_marks::readFrameMark(frame.data(), static_cast<int>(decoder.m_width),
                                      static_cast<int>(decoder.m_height));
}

struct Clip {
    const char* file;
    uint32_t width;
    uint32_t height;
    double fps;
    int frames;
    bool seeks = false;  // the containers seek differently: by index or by time stamps
};

void PrintTo(const Clip& clip, std::ostream* os)
{
    *os << clip.file;
}

std::string clipName(const testing::TestParamInfo<Clip>& info)
{
    std::string name = info.param.file;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

const Clip kClips[] = {
    {"bars_25.mp4", 160, 120, 25.0, 50, true},
    {"bars_25.mkv", 160, 120, 25.0, 50, true},
    {"bars_25.mov", 160, 120, 25.0, 50},
    {"bars_25.avi", 160, 120, 25.0, 50, true},
    {"bars_25.ts", 160, 120, 25.0, 50, true},  // the container starts at about 1.48 s
    {"bars_2997.mp4", 320, 240, 30000.0 / 1001.0, 60, true},
    {"bars_60.mp4", 160, 120, 60.0, 90},
    {"rotated_90.mp4", 160, 120, 30.0, 30},  // stored 120 x 160
    {"rotated_180.mp4", 160, 120, 30.0, 30},
    {"rotated_270.mp4", 160, 120, 30.0, 30},
};

class DecodeClip : public testing::TestWithParam<Clip> {};

// Opened over another file, every frame comes once, upright, in display
// order, with its own time on a time line that starts at 0.0; then the end is
// final until a seek. A seek lands on the frame on screen at the target,
// forwards and backwards, across key frames (at most 12 apart), and reading
// goes on from there.
TEST_P(DecodeClip, DeliversEveryFrameOnceAndSeeks)
{
    const Clip& clip = GetParam();
    VideoDecoder decoder;
    ASSERT_TRUE(decoder.Open(media("bars_2997.mp4").c_str()));
    decoder.SeekTo(1.0);
    ASSERT_TRUE(decoder.Open(media(clip.file).c_str()));
    EXPECT_EQ(decoder.m_width, clip.width);
    EXPECT_EQ(decoder.m_height, clip.height);
    EXPECT_NEAR(decoder.m_fps, clip.fps, 1e-9);
    EXPECT_NEAR(decoder.m_duration, clip.frames / clip.fps, 0.5 / clip.fps);
    EXPECT_EQ(decoder.m_position, 0.0);

    const std::size_t bytes = std::size_t{clip.width} * clip.height * 3;
    std::vector<uint8_t> frame(7);  // the wrong size: ReadFrame sets it
    int count = 0;
    while (decoder.ReadFrame(frame)) {
        ASSERT_EQ(frame.size(), bytes);
        EXPECT_EQ(markOf(frame, decoder), count);
        EXPECT_TRUE(frame_marks::barsPresent(frame.data(), clip.width, clip.height)) << count;
        EXPECT_NEAR(decoder.m_position, count / clip.fps, 0.5 / clip.fps) << count;
        ++count;
    }
    EXPECT_EQ(count, clip.frames);
    EXPECT_FALSE(decoder.ReadFrame(frame));

    decoder.SeekToStart();
    EXPECT_EQ(decoder.m_position, 0.0);
    ASSERT_TRUE(decoder.ReadFrame(frame));
    EXPECT_EQ(markOf(frame, decoder), 0);
    EXPECT_NEAR(decoder.m_position, 0.0, 1e-9);
    if (!clip.seeks)
        return;

    const int last = clip.frames - 1;
    struct Seek {
        double frameTime;  // target, in frame periods
        int expectedMark;
    };
    const Seek seeks[] = {
        {30.0, 30}, {13.5, 13}, {0.0, 0}, {23.0, 23}, {11.99, 11}, {44.2, 44}, {1.0, 1},
        {0.4, 0}, {last + 0.75, last}, {-3.0, 0}, {double(clip.frames), last},  // the duration
        {1e300, last}, {-1e300, 0}, {INFINITY, last}, {12.0, 12},
    };
    for (const Seek& seek : seeks) {
        const double target = seek.frameTime / clip.fps;
        SCOPED_TRACE(testing::Message() << "seek to " << target);
        decoder.SeekTo(target);
        EXPECT_EQ(decoder.m_position, std::clamp(target, 0.0, decoder.m_duration));
        ASSERT_TRUE(decoder.ReadFrame(frame));
        EXPECT_EQ(markOf(frame, decoder), seek.expectedMark);
        EXPECT_NEAR(decoder.m_position, seek.expectedMark / clip.fps, 0.5 / clip.fps);
        if (seek.expectedMark == last) {
            EXPECT_FALSE(decoder.ReadFrame(frame));
        } else {
            ASSERT_TRUE(decoder.ReadFrame(frame));  // reading goes on from there
            EXPECT_EQ(markOf(frame, decoder), seek.expectedMark + 1);
        }
    }
    // Not a number: ignored, reading goes on.
    decoder.SeekTo(NAN);
    EXPECT_NEAR(decoder.m_position, 13 / clip.fps, 0.5 / clip.fps);
    ASSERT_TRUE(decoder.ReadFrame(frame));
    EXPECT_EQ(markOf(frame, decoder), 14);
}

INSTANTIATE_TEST_SUITE_P(Clips, DecodeClip, testing::ValuesIn(kClips), clipName);

// Time stamps, not the frame rate, give positions and seek targets.
TEST(VideoDecoder, FollowsTimeStampsAcrossAGap)
{
    VideoDecoder decoder;
    ASSERT_TRUE(decoder.Open(media("gap.mkv").c_str()));
    EXPECT_NEAR(decoder.m_duration, 3.0, 0.02);
    std::vector<uint8_t> frame;
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(decoder.ReadFrame(frame));
        ASSERT_EQ(markOf(frame, decoder), i);
        EXPECT_NEAR(decoder.m_position, (i < 25 ? i : i + 25) / 25.0, 1e-3) << i;
    }
    EXPECT_FALSE(decoder.ReadFrame(frame));
    decoder.SeekTo(1.5);  // inside the gap, where frame 24 stays on screen
    ASSERT_TRUE(decoder.ReadFrame(frame));
    EXPECT_EQ(markOf(frame, decoder), 24);
    EXPECT_NEAR(decoder.m_position, 0.96, 1e-3);
    ASSERT_TRUE(decoder.ReadFrame(frame));
    EXPECT_EQ(markOf(frame, decoder), 25);
}

// Closed values: size 0 x 0, rate 30, duration and position 0; nothing
// reads or seeks.
TEST(VideoDecoder, BadInputOrCloseLeavesItClosed)
{
    VideoDecoder decoder;
    std::vector<uint8_t> frame{1, 2, 3};
    auto expectClosed = [&](const std::string& step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(decoder.m_width + decoder.m_height, 0u);
        EXPECT_EQ(decoder.m_fps, 30.0);
        EXPECT_EQ(decoder.m_duration, 0.0);
        EXPECT_FALSE(decoder.ReadFrame(frame));
        decoder.SeekTo(1.5);
        EXPECT_EQ(decoder.m_position, 0.0);
    };
    decoder.SeekToStart();
    decoder.Close();
    expectClosed("never opened");
    EXPECT_EQ(frame, (std::vector<uint8_t>{1, 2, 3}));

    const std::wstring rejected[] = {
        media("no_such_file.mp4"),
        media("not_media.mp4"),
        media("audio_only.mp4"),
        media("truncated.mp4"),  // cut before its index
        media("oversized.y4m"),  // wider than any Frame may be
        widen(ORVENNA_TEST_MEDIA_DIR),
        L"",
    };
    for (const std::wstring& path : rejected) {
        // A failed Open also forgets the file that was open before.
        ASSERT_TRUE(decoder.Open(media("bars_25.mp4").c_str()));
        EXPECT_FALSE(decoder.Open(path.c_str()));
        expectClosed(std::string(path.begin(), path.end()));
    }
    EXPECT_FALSE(decoder.Open(nullptr));

    ASSERT_TRUE(decoder.Open(media("bars_25.mp4").c_str()));
    ASSERT_TRUE(decoder.ReadFrame(frame));
    decoder.Close();
    decoder.Close();
    expectClosed("closed twice");
}

TEST(VideoDecoder, TruncatedStreamEndsEarlyWithoutError)
{
    VideoDecoder decoder;
    ASSERT_TRUE(decoder.Open(media("truncated.ts").c_str()));
    std::vector<uint8_t> frame;
    int count = 0;
    while (decoder.ReadFrame(frame))
        ++count;
    EXPECT_GT(count, 0);
    EXPECT_LT(count, 50);
    EXPECT_FALSE(decoder.ReadFrame(frame));
}

// A stop ends a read that decodes forward to a seek target at the next
// packet; the check is asked for each one. A later seek with the check false
// again reads normally.
TEST(VideoDecoder, StopCheckEndsALongReadAtOnce)
{
    int calls = 0;
    int stopAt = 0;  // the call that first answers true; 0 for never
    VideoDecoder decoder;
    decoder.SetInterruptCheck([&] { return ++calls == stopAt || (stopAt > 0 && calls > stopAt); });
    ASSERT_TRUE(decoder.Open(media("bars_25.mp4").c_str()));
    EXPECT_EQ(calls, 0);  // not asked while opening

    const double target = 27.5 / 25.0;  // frame 27 lies 11 frames after its key frame
    std::vector<uint8_t> frame;
    for (int stop : {0, 3, 0}) {
        decoder.SeekTo(target);
        calls = 0;
        stopAt = stop;
        const bool read = decoder.ReadFrame(frame);
        if (stop == 0) {
            ASSERT_TRUE(read);
            EXPECT_EQ(markOf(frame, decoder), 27);
            EXPECT_GE(calls, 12);  // at least once a packet
        } else {
            EXPECT_FALSE(read);
            EXPECT_EQ(calls, stop);  // nothing more read after the first yes
        }
    }
}

// Spaces, letters outside ASCII and a colon (which FFmpeg would otherwise
// take for a protocol name) in the file name.
TEST(VideoDecoder, OpensNonAsciiPath)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(testing::TempDir()) / "orvenna decoder \xc3\xa9t\xc3\xa9";
    fs::create_directories(dir);
    const fs::path copy = dir / "clip: vid\xc3\xa9o \xc3\xb1 \xe6\x97\xa5\xe6\x9c\xac.mp4";
    fs::copy_file(fs::path(ORVENNA_TEST_MEDIA_DIR) / "bars_25.mp4", copy,
                  fs::copy_options::overwrite_existing);

    const std::wstring wide = widen(dir.parent_path().string()) +
                              L"/orvenna decoder \u00e9t\u00e9/clip: vid\u00e9o \u00f1 \u65e5\u672c.mp4";
    VideoDecoder decoder;
    const bool opened = decoder.Open(wide.c_str());
    std::vector<uint8_t> frame;
    const bool read = opened && decoder.ReadFrame(frame);
    fs::remove_all(dir);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(read);
    EXPECT_EQ(markOf(frame, decoder), 0);
}

}  // namespace
