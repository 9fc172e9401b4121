#include "frame_pacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

TEST(FramePacer, NeverReturnsBeforeTheFrameTime)
{
    // 30000/1001 must not be paced as 30: the lower bound tells them apart.
    for (const double fps : {120.0, 30000.0 / 1001.0}) {
        SCOPED_TRACE(fps);
        FramePacer pacer(fps);
        constexpr int kFrames = 12;
        const auto start = Clock::now();
        for (int i = 0; i < kFrames; ++i)
            pacer.waitForNextFrame();
        EXPECT_GE(Seconds(Clock::now() - start).count(), kFrames / fps);
    }
}

TEST(FramePacer, SenderThatFellBehindContinuesFromNow)
{
    constexpr double kFps = 100;
    FramePacer pacer(kFps);
    pacer.waitForNextFrame();
    // A slow decode: twenty frame times pass without a frame.
    std::this_thread::sleep_for(Seconds(20 / kFps));
    const auto resumed = Clock::now();
    pacer.waitForNextFrame();   // late: returns at once
    for (int i = 0; i < 4; ++i)
        pacer.waitForNextFrame();
    // Catching up would return all five at once.
    EXPECT_GE(Seconds(Clock::now() - resumed).count(), 4 / kFps);
}
