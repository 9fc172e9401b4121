// The sender's life cycle. Runs against the test camera library on the search
// path; cases that need its hooks (SteppedClip steps the camera thread frame
// by frame) skip against the real camera library. The clips show their frame index
// (tests/support/frame_marks.h); the camera takes them at their own size, so
// what is sent is the decoded picture itself.
#include "camera/frame_sender.h"

#include "fake_camera_hooks.h"
#include "media/video_decoder.h"
#include "support/frame_marks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kWait = 20s;  // generous: sanitizers slow everything down
constexpr int kWaitMs = static_cast<int>(kWait.count());

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
        sender.m_frameCallback = [this](const unsigned char*, int, int) {
            ++previews;
            previewed.set();
        };
        sender.m_finishedCallback = [this] {
            ++finishes;
            finished.set();
        };
    }

    void TearDown() override
    {
        if (fake.available())
            fake.setStepping(false);  // lets a held camera thread go
    }

    // The 160 x 120 clip of 50 frames at 25 a second, on a camera of its size.
    void openClip(float cameraFps = 120.0f)
    {
        const std::string path = ORVENNA_TEST_MEDIA_DIR "/bars_25.mp4";
        ASSERT_TRUE(decoder.Open(std::wstring(path.begin(), path.end()).c_str()));
        ASSERT_TRUE(sender.InitCamera(160, 120, cameraFps));
    }

    // Index of the frame sent as number `count` (from 1), -1 when none came.
    int waitForSent(int count)
    {
        if (!fake.waitForFrames(count, kWaitMs))
            return -1;
        const std::vector<uint8_t> frame = fake.lastFrame();
        return frame.size() != 160 * 120 * 3 ? -1 : frame_marks::readFrameMark(frame.data(), 160, 120);
    }

    // Lets the held thread go on to its next frame; that frame's index.
    int step()
    {
        const int sent = fake.framesSent();
        fake.step();
        return waitForSent(sent + 1);
    }

    FakeCameraHooks fake{FakeCameraHooks::openAsTheBindingDoes()};
    VideoDecoder decoder;
    // What the callbacks touch, declared before the sender so that it outlives
    // the camera thread.
    std::atomic<int> previews{0};
    std::atomic<int> finishes{0};
    std::atomic<int> laterPreviews{0};
    std::atomic<int> laterFinishes{0};
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
        ASSERT_NO_FATAL_FAILURE(openClip());
        fake.setStepping(true);
        sender.StartVideo(&decoder, true);
        ASSERT_EQ(waitForSent(1), 0);
    }
};

TEST_F(FrameSenderTest, StillImageIsPreviewedAsGivenFittedLiveAndMeasured)
{
    ASSERT_TRUE(sender.InitCamera(8, 8, 120.0f));
    std::vector<uint8_t> image(4 * 2 * 3);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 11 + 1);
    const std::vector<uint8_t> original = image;
    sender.m_frameCallback = [this](const unsigned char* data, int width, int height) {
        if (previews++ == 0) {
            firstPreview.assign(data, data + width * height * 3);
            previewed.set();
        }
    };
    sender.StartImage(image.data(), 4, 2);
    std::fill(image.begin(), image.end(), uint8_t{0});  // the sender keeps its own copy
    ASSERT_TRUE(previewed.waitFor(kWait));
    EXPECT_EQ(firstPreview, original);  // before fitting

    if (fake.available()) {
        FrameFitter fitter;
        auto expectSent = [&](bool mirror) {
            ASSERT_TRUE(fake.waitForFrames(fake.framesSent() + 2, kWaitMs));  // one whole frame after the change
            const uint8_t* fitted = fitter.fit(original.data(), 4, 2, 8, 8, false, mirror);
            EXPECT_EQ(fake.lastFrame(), std::vector<uint8_t>(fitted, fitted + 8 * 8 * 3));
        };
        expectSent(false);
        sender.m_mirror = true;
        expectSent(true);
        // A seek means nothing to a still image; the stream goes on.
        sender.SeekTo(1.0);
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

TEST_F(SteppedClip, SeekWhilePausedIsCarriedOutBeforeTheFirstFrameAfterResume)
{

    sender.Pause();
    EXPECT_TRUE(sender.m_paused);
    fake.step();  // frame 0 is finished; the thread now waits for Resume
    // A paused thread sends nothing more; correct code cannot fail this wait.
    EXPECT_FALSE(fake.waitForFrames(2, 200));
    sender.SeekTo(1.2);
    sender.Resume();
    EXPECT_FALSE(sender.m_paused);
    EXPECT_EQ(waitForSent(2), 30);
    EXPECT_NEAR(sender.m_videoPosition, 1.2, 0.001);
    EXPECT_NEAR(sender.m_videoDuration, 2.0, 0.05);
    EXPECT_EQ(step(), 31);
}

TEST_F(SteppedClip, OnlyTheLastOfTwoSeeksIsCarriedOut)
{
    sender.SeekTo(1.6);
    sender.SeekTo(0.4);
    EXPECT_EQ(step(), 10);
    EXPECT_EQ(step(), 11);
}

TEST_F(SteppedClip, LoopContinuesWithTheFirstFrame)
{
    sender.SeekTo(1.86);
    EXPECT_EQ(step(), 47);
    EXPECT_EQ(step(), 48);
    EXPECT_EQ(step(), 49);
    EXPECT_EQ(step(), 0);
    EXPECT_NEAR(sender.m_videoPosition, 0.0, 0.001);
    EXPECT_EQ(step(), 1);
    EXPECT_TRUE(sender.m_running);
    EXPECT_EQ(finishes, 0);
}

TEST_F(SteppedClip, WithoutLoopTheStreamEndsAndKeepsTheCamera)
{
    sender.m_loop = false;  // unchecked while streaming
    sender.SeekTo(1.9);
    EXPECT_EQ(step(), 48);
    EXPECT_EQ(step(), 49);
    fake.step();
    ASSERT_TRUE(finished.waitFor(kWait));
    EXPECT_FALSE(sender.m_running);  // cleared before the callback
    EXPECT_EQ(finishes, 1);
    EXPECT_TRUE(fake.cameraExists());
    EXPECT_TRUE(sender.IsConnected());
    EXPECT_EQ(fake.framesSent(), 3);
}

TEST_F(FrameSenderTest, RestartOrStopWhilePausedEndsWithoutFinishing)
{
    // At 25 frames a second the two-second clip outlasts both stops.
    openClip(25.0f);
    sender.StartVideo(&decoder, false);
    ASSERT_TRUE(previewed.waitFor(kWait));
    previewed.reset();
    sender.StartVideo(&decoder, false);  // the stop sequence of a new start
    ASSERT_TRUE(previewed.waitFor(kWait));
    sender.Pause();
    const auto start = std::chrono::steady_clock::now();
    sender.Stop();
    // Far below the 5 s a stop may wait: the paused thread was woken.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
    EXPECT_FALSE(sender.m_running);
    EXPECT_FALSE(sender.m_paused);
    EXPECT_EQ(finishes, 0);
}

TEST_F(FrameSenderTest, CallbacksMayBeReplacedAtAnyTime)
{
    // Replaced while a stream runs: that stream keeps the callbacks it began with.
    openClip();
    sender.StartVideo(&decoder, false);
    ASSERT_TRUE(previewed.waitFor(kWait));
    sender.m_frameCallback = [this](const unsigned char*, int, int) { ++laterPreviews; };
    sender.m_finishedCallback = [this] {
        ++laterFinishes;
        finished.set();
    };
    sender.SeekTo(1.8);
    ASSERT_TRUE(finished.waitFor(kWait));
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(laterPreviews, 0);

    // The next stream calls the new ones.
    finished.reset();
    decoder.SeekToStart();  // the decoder stays at its end until moved
    sender.StartVideo(&decoder, false);
    sender.SeekTo(1.8);
    ASSERT_TRUE(finished.waitFor(kWait));
    EXPECT_EQ(laterFinishes, 1);
    EXPECT_GT(laterPreviews, 0);
    EXPECT_EQ(finishes, 1);
}

TEST_F(FrameSenderTest, WithoutCameraTheThreadEndsWithoutSending)
{
    const std::vector<uint8_t> image(2 * 2 * 3, 128);
    sender.StartImage(image.data(), 2, 2);
    EXPECT_TRUE(waitUntil([&] { return !sender.m_running; }));
    sender.Stop();
    EXPECT_EQ(previews, 0);
    if (fake.available()) {
        EXPECT_EQ(fake.framesSent(), 0);
    }
}

} // namespace
