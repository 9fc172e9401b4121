#include "media/video_decoder.h"

#include "support/frame_marks.h"
#include "test_media_path.h"
#include "under_wine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Wine's demuxers ignore the edit list that starts B-frame mp4/mov clips two
// frames late, so time stamps may run that much ahead of the picture.
constexpr double kStampSlack = 0.1;

int markOf(const std::vector<uint8_t>& frame, const VideoDecoder& decoder)
{
    return frame_marks::readFrameMark(frame.data(), int(decoder.m_width), int(decoder.m_height));
}

class Containers : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(Containers, DecodeEveryFrameInOrderUntilASeek)
{
    if (underWine() && std::wstring(GetParam()).ends_with(L".ts"))
        GTEST_SKIP() << "Wine 8 has no Media Foundation byte-stream handler for MPEG-TS";
    VideoDecoder decoder;
    ASSERT_TRUE(decoder.Open(testMediaPath(GetParam()).c_str()));
    EXPECT_EQ(decoder.m_width, 160u);
    EXPECT_EQ(decoder.m_height, 120u);
    EXPECT_NEAR(decoder.m_duration, 2.0, 0.05);

    std::vector<uint8_t> frame;
    int count = 0;
    for (; decoder.ReadFrame(frame); ++count) {
        ASSERT_EQ(frame.size(), 160u * 120u * 3u);
        ASSERT_EQ(markOf(frame, decoder), count);
        ASSERT_TRUE(frame_marks::barsPresent(frame.data(), 160, 120)) << count;
        EXPECT_NEAR(decoder.m_position, count / 25.0, kStampSlack) << count;
    }
    EXPECT_EQ(count, 50);
    EXPECT_FALSE(decoder.ReadFrame(frame));

    for (double target : {1.2, 0.4, 1.96, 0.0}) {
        decoder.SeekTo(target);
        EXPECT_EQ(decoder.m_position, target);
        ASSERT_TRUE(decoder.ReadFrame(frame));
        // From the key frame before the target (groups of 12), never later.
        const int mark = markOf(frame, decoder);
        EXPECT_LE(mark, int(target * 25) + 1) << target;
        EXPECT_GE(mark, int(target * 25) - 12) << target;
        EXPECT_NEAR(decoder.m_position, mark / 25.0, kStampSlack) << target;
    }
}

INSTANTIATE_TEST_SUITE_P(VideoDecoder, Containers,
                         ::testing::Values(L"bars_25.mp4", L"bars_25.mkv", L"bars_25.mov", L"bars_25.avi",
                                           L"bars_25.ts"));

TEST(VideoDecoder, ReportsRateAndDuration)
{
    struct { const wchar_t* file; double fps, duration; } const cases[] = {
        {L"bars_2997.mp4", 30000.0 / 1001.0, 2.002},
        {L"bars_60.mp4", 60.0, 1.5},
    };
    for (const auto& c : cases) {
        VideoDecoder decoder;
        ASSERT_TRUE(decoder.Open(testMediaPath(c.file).c_str()));
        EXPECT_NEAR(decoder.m_duration, c.duration, 0.02);
        if (!underWine()) {
            EXPECT_DOUBLE_EQ(decoder.m_fps, c.fps);
        }
    }
    if (underWine())
        GTEST_SKIP() << "rate unchecked: Wine's video processor leaves MF_MT_FRAME_RATE out of the RGB32 type";
}

TEST(VideoDecoder, FailedOpenAndClosedDecoderGiveClosedValues)
{
    auto expectClosed = [](VideoDecoder& decoder, const wchar_t* step) {
        std::vector<uint8_t> frame;
        EXPECT_FALSE(decoder.ReadFrame(frame)) << step;
        EXPECT_EQ(decoder.m_width + decoder.m_height, 0u) << step;
        EXPECT_EQ(decoder.m_fps, 30.0) << step;
        EXPECT_EQ(decoder.m_duration + decoder.m_position, 0.0) << step;
    };
    VideoDecoder decoder;
    decoder.Close();
    decoder.SeekTo(2.5);
    decoder.SeekToStart();
    expectClosed(decoder, L"never opened");
    for (const wchar_t* file : {L"missing.mp4", L"not_media.mp4", L"audio_only.mp4", L"truncated.mp4"}) {
        ASSERT_TRUE(decoder.Open(testMediaPath(L"bars_25.avi").c_str()));
        EXPECT_FALSE(decoder.Open(testMediaPath(file).c_str())) << file;
        expectClosed(decoder, file);
    }
    ASSERT_TRUE(decoder.Open(testMediaPath(L"bars_25.avi").c_str()));
    decoder.Close();
    decoder.Close();
    expectClosed(decoder, L"closed twice");
}

TEST(VideoDecoder, OpensPathsWithSpacesAndAccents)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring copy = temp + (L"clip d'été ü " + std::to_wstring(GetCurrentProcessId()) + L".mkv");
    ASSERT_TRUE(CopyFileW(testMediaPath(L"bars_25.mkv").c_str(), copy.c_str(), FALSE));
    {
        VideoDecoder decoder;
        std::vector<uint8_t> frame;
        EXPECT_TRUE(decoder.Open(copy.c_str()) && decoder.ReadFrame(frame) && markOf(frame, decoder) == 0);
    }
    DeleteFileW(copy.c_str());
}

} // namespace
