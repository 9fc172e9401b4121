// The sender against the test camera library on the search path (cases needing
// its hooks skip against the real one); clips show their frame index.
#include "camera/frame_sender.h"

#include "fake_camera.h"
#include "media/frame.h"
#include "media/video_decoder.h"
#include "support/frame_marks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kWait = 20s;  // generous: sanitizers slow everything down
constexpr int kWaitMs = static_cast<int>(kWait.count());
constexpr const wchar_t* kClip = L"" ORVENNA_TEST_MEDIA_DIR "/bars_25.mp4";  // 160 x 120, 50 frames at 25/s

bool waitUntil(const std::function<bool()>& condition)
{
    for (const auto end = std::chrono::steady_clock::now() + kWait; !condition(); std::this_thread::sleep_for(1ms))
        if (std::chrono::steady_clock::now() > end)
            return false;
    return true;
}

class FrameSenderTest : public testing::Test {
protected:
    void SetUp() override
    {
        sender.m_frameCallback = [this](PictureRows& source) {
            std::vector<uint8_t> shown;
            readFrame(source.picture(), shown);
            lastPreview = frame_marks::readFrameMark(shown.data(), source.picture()->width(), source.picture()->height());
            if (previews++ == 0)
                firstPreview = std::move(shown), previewed.set();
        };
        sender.m_finishedCallback = [this](std::uint64_t id) { finishedStream = id, ++finishes, finished.set(); };
    }
    void TearDown() override
    {
        if (fake.available())
            fake->setStepping(false);  // lets a held camera thread go
    }

    // Index of the frame sent as number `count` (from 1), -1 when none came.
    int waitForSent(int count)
    {
        const auto frame = fake->waitForFrames(count, kWaitMs) ? fake->lastFrame() : std::vector<uint8_t>();
        return frame.size() != 160 * 120 * 3 ? -1 : frame_marks::readFrameMark(frame.data(), 160, 120);
    }
    // Lets the held thread go on to its next frame; that frame's index.
    int step()
    {
        const int sent = fake->framesSent();
        fake->step();
        return waitForSent(sent + 1);
    }

    FakeCameraHooks fake{loadLibraryFromSearchPath(kCameraLibraryName)};
    VideoDecoder decoder;
    // What the callbacks touch, before the sender so that it outlives the camera thread.
    std::atomic<int> previews{0}, finishes{0}, laterCalls{0}, lastPreview{-1};
    std::atomic<std::uint64_t> finishedStream{0};
    std::vector<uint8_t> firstPreview;
    ManualResetEvent previewed, finished;
    FrameSender sender;
};

// The clip looping, the camera thread held after each frame; frame 0 is sent.
class SteppedClip : public FrameSenderTest {
protected:
    void SetUp() override
    {
        FrameSenderTest::SetUp();
        if (!fake.available())
            GTEST_SKIP() << "the camera library has no test hooks";
        ASSERT_TRUE(decoder.Open(kClip) && sender.InitCamera(160, 120, 120.0f));
        fake->setStepping(true);
        sender.StartVideo(&decoder, true);
        ASSERT_EQ(waitForSent(1), 0);
    }
};

TEST_F(FrameSenderTest, StillImageIsPreviewedAsGivenFittedLiveAndMeasured)
{
    ASSERT_TRUE(sender.InitCamera(8, 8, 120.0f));
    std::vector<uint8_t> image(4 * 2 * 3);  // each pixel its own colour
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i / 3 * 30 + i % 3 + 10);
    const std::vector<uint8_t> original = image;
    sender.StartImage(image.data(), 4, 2);
    EXPECT_EQ(sender.CurrentStreamId(), 1u);
    std::fill(image.begin(), image.end(), uint8_t{0});  // the sender keeps its own copy
    ASSERT_TRUE(previewed.waitFor(kWait));
    EXPECT_EQ(firstPreview, original);  // before fitting

    // Letterboxed into rows 2..5, two camera pixels a source pixel; a digit
    // names the source pixel shown, '.' is black.
    const std::string letterboxed = std::string(16, '.') + "00112233001122334455667744556677" + std::string(16, '.');
    for (const int round : {0, 1, 2}) {
        if (!fake.available())
            break;
        const bool mirror = round > 0;
        sender.m_mirror = mirror;
        if (round == 2)
            sender.SeekTo(1.0);  // means nothing to a still image; the stream goes on
        std::vector<uint8_t> expected;
        for (size_t i = 0; i < letterboxed.size(); ++i) {
            const char c = letterboxed[mirror ? i / 8 * 8 + 7 - i % 8 : i];
            for (int k = 0; k < 3; ++k)
                expected.push_back(c == '.' ? 0 : original[(c - '0') * 3 + k]);
        }
        ASSERT_TRUE(fake->waitForFrames(fake->framesSent() + 2, kWaitMs));  // one whole frame after the change
        EXPECT_EQ(fake->lastFrame(), expected);
    }
    EXPECT_TRUE(sender.m_running);
    EXPECT_TRUE(waitUntil([&] { return sender.m_measuredFps != 120.0; }));  // the camera's own rate until measured
    EXPECT_GT(sender.m_measuredFps, 0.0);
    EXPECT_LE(sender.m_measuredFps, 130.0);  // the camera paces at 120

    sender.Stop();
    EXPECT_FALSE(sender.m_running);
    EXPECT_EQ(sender.m_measuredFps, 0.0);
    EXPECT_EQ(finishes, 0);
}

// Frame n shows at n / 25 s, where a seek lands on that very frame. Paused, a
// seek shows its frame at once and the stream stays paused; the rate counts
// playing time only, the camera's own until a second of it is measured.
TEST_F(SteppedClip, SeeksLandWhilePausedOrRunningTheLoopRewindsAndStopWakesAPausedThread)
{
    EXPECT_EQ(sender.m_measuredFps, 120.0);
    sender.Pause();
    EXPECT_TRUE(sender.m_paused);
    fake->step();  // frame 0 is finished; the thread now waits
    EXPECT_FALSE(fake->waitForFrames(2, 1100));  // correct code cannot fail this wait
    const std::pair<double, int> pausedSeeks[] = {{1.2, 30}, {0.4, 10}, {2.0, 49}};  // forward, back, the end
    for (const auto& [seconds, index] : pausedSeeks) {
        const int sent = fake->framesSent();
        sender.SeekTo(seconds);
        EXPECT_EQ(waitForSent(sent + 1), index) << seconds;
        EXPECT_NEAR(sender.m_videoPosition, index / 25.0, 0.001);
        EXPECT_TRUE(sender.m_paused);
        fake->step();  // the seek's frame is finished and previewed; the thread waits again
        EXPECT_TRUE(waitUntil([&] { return lastPreview == index; })) << seconds;
    }
    EXPECT_NEAR(sender.m_videoDuration, 2.0, 0.05);
    const int sent = fake->framesSent();
    sender.Resume();
    EXPECT_FALSE(sender.m_paused);
    EXPECT_EQ(waitForSent(sent + 1), 0);  // on from the end: the loop rewinds
    EXPECT_EQ(step(), 1);
    EXPECT_EQ(sender.m_measuredFps, 120.0);  // the paused second is not counted

    sender.SeekTo(0.4);  // only the last of two seeks is carried out
    sender.SeekTo(1.88);
    for (const int index : {47, 48, 49, 0})
        EXPECT_EQ(step(), index);

    sender.Pause();
    fake->setStepping(false);
    const auto start = std::chrono::steady_clock::now();
    sender.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);  // far below the 5 s a stop may wait
    EXPECT_FALSE(sender.m_running || sender.m_paused);
    EXPECT_EQ(sender.m_measuredFps, 0.0);
    EXPECT_EQ(finishes, 0);
}

// The window stops the stream a finished report names and ignores one that
// comes after it started another. Callbacks replaced mid-stream serve the next.
TEST_F(SteppedClip, WithoutLoopTheStreamEndsKeepsTheCameraAndNamesItself)
{
    sender.m_loop = false;  // unchecked while streaming
    sender.m_frameCallback = [this](PictureRows&) { ++laterCalls; };
    sender.m_finishedCallback = [this](std::uint64_t) { laterCalls += 100; };
    sender.SeekTo(1.92);
    EXPECT_EQ(step(), 48);
    EXPECT_EQ(step(), 49);
    fake->step();
    ASSERT_TRUE(finished.waitFor(kWait));
    EXPECT_FALSE(sender.m_running);  // cleared before the callback
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(finishedStream, 1u);
    EXPECT_EQ(laterCalls, 0);
    EXPECT_EQ(fake->kinds(), "c");  // the camera stays
    EXPECT_EQ(fake->framesSent(), 3);

    // The window saw m_running fall and started anew before the queued report came.
    decoder.SeekToStart();
    sender.StartVideo(&decoder, true);
    EXPECT_EQ(sender.CurrentStreamId(), 2u);
    if (finishedStream == sender.CurrentStreamId())
        sender.Stop();
    EXPECT_EQ(waitForSent(4), 0);
    EXPECT_TRUE(sender.m_running);
    fake->step();  // the frame is previewed once it is sent
    EXPECT_TRUE(waitUntil([&] { return laterCalls == 1; }));
}

// Without a camera the thread ends at once; on a camera no Frame can fill, a
// looping video ends after its first frame instead of spinning.
TEST_F(FrameSenderTest, StreamsThatCanSendNothingEndWithoutSpinning)
{
    const std::vector<uint8_t> image(2 * 2 * 3, 128);
    sender.StartImage(image.data(), 2, 2);
    EXPECT_TRUE(waitUntil([&] { return !sender.m_running; }));
    EXPECT_EQ(previews, 0);
    if (!fake.available())
        GTEST_SKIP() << "the real camera library refuses the size below";
    ASSERT_TRUE(decoder.Open(kClip) && sender.InitCamera(kMaxFrameSide + 1, 120, 120.0f));
    sender.StartVideo(&decoder, true);
    ASSERT_TRUE(finished.waitFor(kWait));
    EXPECT_FALSE(sender.m_running);
    EXPECT_EQ(fake->framesSent(), 0);
    std::vector<uint8_t> picture;  // the first frame was read and no other
    ASSERT_TRUE(decoder.ReadFrame(picture));
    EXPECT_EQ(frame_marks::readFrameMark(picture.data(), 160, 120), 1);
}

// The stop check goes back with the stream: the decoder reads on its own after a stop and
// after the sender is gone. Paused after each frame, the stop finds no read under way.
TEST_F(FrameSenderTest, DecoderReadsOnItsOwnAfterAStopAndAfterTheSender)
{
    if (!fake.available())
        GTEST_SKIP() << "the camera library has no test hooks";
    std::vector<uint8_t> picture;
    fake->setStepping(true);
    {
        FrameSender other;
        ASSERT_TRUE(decoder.Open(kClip) && other.InitCamera(160, 120, 120.0f));
        for (const int sent : {1, 2}) {
            other.StartVideo(&decoder, true);
            ASSERT_TRUE(fake->waitForFrames(sent, kWaitMs));
            other.Pause();
            fake->step();
            if (sent == 1) {
                other.Stop();
                EXPECT_TRUE(decoder.ReadFrame(picture)) << "after a stop";
            }
        }
    }
    EXPECT_TRUE(decoder.ReadFrame(picture)) << "after the sender";
}

#ifndef _WIN32
// A Matroska stream of two raw pictures through a pipe whose second picture
// trickles in far too slowly for the 5 s a stop may wait: the stop check lent
// to the decoder cuts it short.
TEST_F(FrameSenderTest, StopCutsShortAReadWaitingOnItsInput)
{
    if (!fake.available())
        GTEST_SKIP() << "the camera library has no test hooks";
    const std::string path = testing::TempDir() + "orvenna_sender_input.y4m";
    ::unlink(path.c_str());
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    struct Pipe {
        int fd;
        ~Pipe() { ::close(fd); }  // ends a read still waiting
        bool feed(const std::string& bytes) const
        {
            return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        }
    } const input{::open(path.c_str(), O_RDWR)};  // Linux: opens without a reader
    ASSERT_GE(input.fd, 0);
    // The second picture's 4608 bytes end the file; its block header takes 7 before them.
    std::ifstream file(ORVENNA_TEST_MEDIA_DIR "/raw_64x48.mkv", std::ios::binary);
    const std::string stream{std::istreambuf_iterator<char>(file), {}};
    const std::size_t secondBlock = stream.size() - 64 * 48 * 3 / 2 - 7;
    ASSERT_TRUE(input.feed(stream.substr(0, secondBlock)));
    ASSERT_TRUE(decoder.Open(std::wstring(path.begin(), path.end()).c_str()));
    ::unlink(path.c_str());
    ASSERT_TRUE(sender.InitCamera(64, 48, 120.0f));
    sender.StartVideo(&decoder, true);
    ASSERT_TRUE(fake->waitForFrames(1, kWaitMs));
    // Once the second picture's header is taken, the camera thread is inside its read.
    ASSERT_TRUE(input.feed(stream.substr(secondBlock, 8)));
    ASSERT_TRUE(waitUntil([&] {
        int unread = -1;
        return ::ioctl(input.fd, FIONREAD, &unread) == 0 && unread == 0;
    }));
    std::atomic<bool> stopped{false};
    std::thread trickle([&] {
        while (!stopped && input.feed("\x80"))
            std::this_thread::sleep_for(5ms);
    });
    const auto start = std::chrono::steady_clock::now();
    sender.Stop();
    const auto took = std::chrono::steady_clock::now() - start;
    stopped = true;
    trickle.join();
    EXPECT_LT(took, 2500ms);
    EXPECT_EQ(fake->framesSent(), 1);
    EXPECT_EQ(finishes, 0);
}
#endif

} // namespace
