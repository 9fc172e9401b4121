// The five entry points with no PipeWire daemon reachable at all.
#include "frame_pump.h"
#include "test_frames.h"

#include <softcam.h>

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

using namespace std::chrono_literals;

namespace {

TEST(SoftcamApi, RefusesSizesAndRatesItCannotServe)
{
    struct Case {
        int width;
        int height;
        float fps;
        bool served;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const Case& c : {Case{0, 480, 30, false}, Case{640, 0, 30, false}, Case{-1, 480, 30, false},
                          Case{7681, 480, 30, false}, Case{640, 7681, 30, false},
                          Case{640, 480, 0.99f, false}, Case{640, 480, 120.5f, false},
                          Case{640, 480, nan, false}, Case{640, 480, -30, false}, Case{1, 1, 1, true},
                          Case{7680, 2, 120, true}, Case{2, 7680, 29.97f, true}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "@" << c.fps);
        void* camera = scCreateCamera(c.width, c.height, c.fps);
        EXPECT_EQ(camera != nullptr, c.served);
        scDeleteCamera(camera);
    }
}

TEST(SoftcamApi, OneCameraPerProcessUntilItIsDeleted)
{
    void* first = scCreateCamera(64, 48, 30);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(scCreateCamera(32, 24, 30), nullptr);
    scDeleteCamera(first);
    void* second = scCreateCamera(32, 24, 30);
    EXPECT_NE(second, nullptr);
    scDeleteCamera(second);
}

TEST(SoftcamApi, NullHandleAndNullFrameAreHarmless)
{
    const auto frame = quadrantFrame(4, 4);
    scSendFrame(nullptr, frame.data());
    EXPECT_FALSE(scIsConnected(nullptr));
    EXPECT_FALSE(scWaitForConnection(nullptr, 0.01f));
    scDeleteCamera(nullptr);

    void* camera = scCreateCamera(4, 4, 30);
    ASSERT_NE(camera, nullptr);
    scSendFrame(camera, nullptr);
    scDeleteCamera(camera);
}

TEST(SoftcamApi, KeepsPaceAndStaysDisconnectedWithoutADaemon)
{
    constexpr float kFps = 60;
    const auto interval = std::chrono::duration<double>(1.0 / kFps);
    void* camera = scCreateCamera(64, 48, kFps);
    ASSERT_NE(camera, nullptr);
    const auto start = FramePump::Clock::now();
    int64_t calls = 0;
    {
        FramePump pump(camera, quadrantFrame(64, 48));
        EXPECT_FALSE(scWaitForConnection(camera, 0.5f));
        pump.stop();
        calls = pump.calls();
        // Deadlines are absolute, so the total can only be longer than the
        // frame times, never shorter; a single call is at most one interval.
        EXPECT_GE(FramePump::Clock::now() - start, calls * interval);
        EXPECT_LT(pump.longestCall(), interval + 100ms);
    }
    EXPECT_GT(calls, 0);
    EXPECT_FALSE(scIsConnected(camera));
    scDeleteCamera(camera);
}

} // namespace
