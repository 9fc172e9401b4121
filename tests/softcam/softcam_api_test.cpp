// The six entry points with no PipeWire daemon reachable at all.
#include "frame_pump.h"
#include "test_frames.h"

#include <softcam.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>

using namespace std::chrono_literals;

namespace {

TEST(SoftcamApi, RefusesSizesAndRatesItCannotServe)
{
    const struct { int width, height; float fps; bool served; } cases[] = {
        {0, 480, 30, false}, {640, 0, 30, false}, {-1, 480, 30, false}, {7681, 480, 30, false},
        {640, 7681, 30, false}, {640, 480, 0.99f, false}, {640, 480, 120.5f, false}, {640, 480, NAN, false},
        {640, 480, -30, false}, {1, 1, 1, true}, {7680, 2, 120, true}, {2, 7680, 29.97f, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "@" << c.fps);
        void* camera = scCreateCamera(c.width, c.height, c.fps);
        EXPECT_EQ(camera != nullptr, c.served);
        scDeleteCamera(camera);
    }
}

TEST(SoftcamApi, OneCameraPerProcessUntilItIsDeletedAndNullIsHarmless)
{
    const auto frame = quadrantFrame(4, 4);
    const scDrawFunction drawBlack = [](void* out, void*) { return std::memset(out, 0, 4 * 4 * 3) != nullptr; };
    scSendFrame(nullptr, frame.data());
    EXPECT_FALSE(scDrawFrame(nullptr, drawBlack, nullptr));
    EXPECT_FALSE(scIsConnected(nullptr));
    EXPECT_FALSE(scWaitForConnection(nullptr, 0.01f));
    scDeleteCamera(nullptr);

    void* first = scCreateCamera(4, 4, 30);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(scCreateCamera(32, 24, 30), nullptr);
    scSendFrame(first, nullptr);
    EXPECT_FALSE(scDrawFrame(first, nullptr, nullptr));
    // Without a daemon the frame drawn waits for one; a drawing that fails is told.
    EXPECT_TRUE(scDrawFrame(first, drawBlack, nullptr));
    EXPECT_FALSE(scDrawFrame(first, [](void*, void*) { return false; }, nullptr));
    scDeleteCamera(first);
    void* second = scCreateCamera(32, 24, 30);
    EXPECT_NE(second, nullptr);
    scDeleteCamera(second);
}

TEST(SoftcamApi, KeepsPaceAndStaysDisconnectedWithoutADaemon)
{
    const auto interval = std::chrono::duration<double>(1.0 / 60);
    void* camera = scCreateCamera(64, 48, 60);
    ASSERT_NE(camera, nullptr);
    const auto start = FramePump::Clock::now();
    FramePump pump(camera, quadrantFrame(64, 48));
    EXPECT_FALSE(scWaitForConnection(camera, 0.5f));
    pump.stop();
    // Deadlines are absolute, so the total can only be longer than the frame
    // times after the first, never shorter; a single call is at most one interval.
    EXPECT_GE(FramePump::Clock::now() - start, (pump.calls() - 1) * interval);
    EXPECT_LT(pump.longestCall(), interval + 100ms);
    EXPECT_GT(pump.calls(), 0);
    EXPECT_FALSE(scIsConnected(camera));
    scDeleteCamera(camera);
}

} // namespace
