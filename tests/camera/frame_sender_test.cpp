// The sender's life cycle, against the test camera library on the search path
// (cases that need its hooks skip against the real one). Clips show their frame
// index (support/frame_marks.h); sent at their own size, they read back as such.
#include "camera/frame_sender.h"

#include "fake_camera.h"
#include "media/frame.h"
#include "media/video_decoder.h"
#include "support/frame_marks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
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
// 160 x 120, 50 frames at 25 a second.
constexpr const wchar_t* kClip = L"" ORVENNA_TEST_MEDIA_DIR "/bars_25.mp4";

// Polls `condition` until it holds or kWait passes.
bool waitUntil(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + kWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class FrameSenderTest : public testing::Test {
protected:
    void SetUp() override
    {
        sender.m_frameCallback = [this](const unsigned char* data, int width, int height) {
            if (previews++ == 0) {
                firstPreview.assign(data, data + width * height * 3);
                previewed.set();
            }
        };
        sender.m_finishedCallback = [this](std::uint64_t stream) {
            finishedStream = stream;
            ++finishes;
            finished.set();
        };
    }

    void TearDown() override
    {
        if (fake.available())
            fake->setStepping(false);  // lets a held camera thread go
    }

    // Index of the frame sent as number `count` (from 1), -1 when none came.
    int waitForSent(int count)
    {
        if (!fake->waitForFrames(count, kWaitMs))
            return -1;
        const std::vector<uint8_t> frame = fake->lastFrame();
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
    // What the callbacks touch, declared before the sender so that it outlives
    // the camera thread.
    std::atomic<int> previews{0};
    std::atomic<int> finishes{0};
    std::atomic<std::uint64_t> finishedStream{0};
    std::atomic<int> laterCalls{0};
    std::vector<uint8_t> firstPreview;
    ManualResetEvent previewed;
    ManualResetEvent finished;
    FrameSender sender;  // last: its thread ends before anything above goes
};

// The clip streamed in a loop with the camera thread held after each frame it
// sends; frame 0 has been sent.
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

    if (fake.available()) {
        // Letterboxed into rows 2..5, two camera pixels a source pixel; each
        // character names the source pixel shown, '.' is black.
        const char* const letterboxed[8] = {"........", "........", "00112233", "00112233",
                                            "44556677", "44556677", "........", "........"};
        auto expectSent = [&](bool mirror) {
            std::vector<uint8_t> expected;
            for (std::string row : letterboxed) {
                if (mirror)
                    std::reverse(row.begin(), row.end());
                for (const char c : row)
                    for (int k = 0; k < 3; ++k)
                        expected.push_back(c == '.' ? 0 : original[(c - '0') * 3 + k]);
            }
            ASSERT_TRUE(fake->waitForFrames(fake->framesSent() + 2, kWaitMs));  // one whole frame after the change
            EXPECT_EQ(fake->lastFrame(), expected);
        };
        expectSent(false);
        sender.m_mirror = true;
        expectSent(true);
        sender.SeekTo(1.0);  // means nothing to a still image; the stream goes on
        expectSent(true);
    }
    EXPECT_TRUE(sender.m_running);
    EXPECT_TRUE(waitUntil([&] { return sender.m_measuredFps > 0.0; }));
    EXPECT_LE(sender.m_measuredFps, 130.0);  // the camera paces at 120

    sender.Stop();
    EXPECT_FALSE(sender.m_running);
    EXPECT_EQ(sender.m_measuredFps, 0.0);
    EXPECT_EQ(finishes, 0);
}

// Seek targets are frame times (frame n at n / 25 s), where a seek lands on
// that very frame.
TEST_F(SteppedClip, SeeksLandWhilePausedOrRunningTheLoopRewindsAndStopWakesAPausedThread)
{
    sender.Pause();
    EXPECT_TRUE(sender.m_paused);
    fake->step();  // frame 0 is finished; the thread now waits for Resume
    EXPECT_FALSE(fake->waitForFrames(2, 200));  // correct code cannot fail this wait
    sender.SeekTo(1.2);
    sender.Resume();
    EXPECT_FALSE(sender.m_paused);
    EXPECT_EQ(waitForSent(2), 30);
    EXPECT_NEAR(sender.m_videoPosition, 1.2, 0.001);
    EXPECT_NEAR(sender.m_videoDuration, 2.0, 0.05);
    EXPECT_EQ(step(), 31);

    sender.SeekTo(0.4);  // only the last of two seeks is carried out
    sender.SeekTo(1.88);
    for (const int index : {47, 48, 49, 0})
        EXPECT_EQ(step(), index);
    EXPECT_NEAR(sender.m_videoPosition, 0.0, 0.001);
    EXPECT_EQ(step(), 1);

    // Far below the 5 s a stop may wait.
    sender.Pause();
    fake->setStepping(false);
    const auto start = std::chrono::steady_clock::now();
    sender.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
    EXPECT_FALSE(sender.m_running);
    EXPECT_FALSE(sender.m_paused);
    EXPECT_EQ(finishes, 0);
}

// The window stops the stream a finished report names and ignores one that
// arrives after it started another. Callbacks replaced during a stream serve
// the next one.
TEST_F(SteppedClip, WithoutLoopTheStreamEndsKeepsTheCameraAndNamesItself)
{
    EXPECT_EQ(sender.CurrentStreamId(), 1u);
    sender.m_loop = false;  // unchecked while streaming
    sender.m_frameCallback = [this](const unsigned char*, int, int) { ++laterCalls; };
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

    // The window saw m_running fall and started anew before the report,
    // queued to it, arrived.
    decoder.SeekToStart();
    sender.StartVideo(&decoder, true);
    EXPECT_EQ(sender.CurrentStreamId(), 2u);
    if (finishedStream == sender.CurrentStreamId())
        sender.Stop();
    EXPECT_EQ(waitForSent(4), 0);
    EXPECT_TRUE(sender.m_running);
    EXPECT_EQ(laterCalls, 1);
}

// Streams that can send nothing never spin: without a camera the thread ends
// at once; on a camera the test library makes but no Frame can fill, a
// looping video ends after its first frame.
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
    // The first frame was read and no other: the decoder goes on with frame 1.
    std::vector<uint8_t> picture;
    ASSERT_TRUE(decoder.ReadFrame(picture));
    EXPECT_EQ(frame_marks::readFrameMark(picture.data(), 160, 120), 1);
}

// The stop check goes back with the stream: the decoder reads on its own after
// a stop and after the sender is gone. Each stream is paused after its frame,
// so that the stop finds its thread outside any read.
TEST_F(FrameSenderTest, DecoderReadsOnItsOwnAfterAStopAndAfterTheSender)
{
    if (!fake.available())
        GTEST_SKIP() << "the camera library has no test hooks";
    std::vector<uint8_t> picture;
    fake->setStepping(true);
    {
        FrameSender other;
        ASSERT_TRUE(decoder.Open(kClip) && other.InitCamera(160, 120, 120.0f));
        auto streamUpTo = [&](int sent) {
            other.StartVideo(&decoder, true);
            ASSERT_TRUE(fake->waitForFrames(sent, kWaitMs));
            other.Pause();
            fake->step();
        };
        ASSERT_NO_FATAL_FAILURE(streamUpTo(1));
        other.Stop();
        EXPECT_TRUE(decoder.ReadFrame(picture)) << "after a stop";
        ASSERT_NO_FATAL_FAILURE(streamUpTo(2));
    }
    EXPECT_TRUE(decoder.ReadFrame(picture)) << "after the sender";
}

#ifndef _WIN32
// A y4m stream through a pipe: after its header and first frame, the second
// frame gets a byte now and then, far too slowly to complete within the 5 s a
// stop may wait. The stop check lent to the decoder cuts that read short.
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
    ASSERT_TRUE(input.feed("YUV4MPEG2 W64 H48 F25:1 Ip A1:1 C420jpeg\nFRAME\n" + std::string(64 * 48 * 3 / 2, '\x80')));
    ASSERT_TRUE(decoder.Open(std::wstring(path.begin(), path.end()).c_str()));
    ::unlink(path.c_str());
    ASSERT_TRUE(sender.InitCamera(64, 48, 120.0f));
    sender.StartVideo(&decoder, true);
    ASSERT_TRUE(fake->waitForFrames(1, kWaitMs));
    // Only the read of the second frame takes bytes from now on: once its
    // header is gone, the camera thread is inside that read.
    ASSERT_TRUE(input.feed("FRAME\n"));
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
