#include "frame_mailbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

TEST(FrameMailbox, IsBlackBeforeTheFirstFrame)
{
    FrameMailbox mailbox(16);
    const uint8_t* frame = mailbox.latest();
    EXPECT_TRUE(std::all_of(frame, frame + 16, [](uint8_t b) { return b == 0; }));
}

TEST(FrameMailbox, ReaderSeesWholeFramesNeverOlderThanTheLastOne)
{
    // Each frame is its sequence number repeated; a torn frame mixes two.
    constexpr size_t kWords = 4096;
    constexpr uint32_t kFrames = 3000;
    FrameMailbox mailbox(kWords * sizeof(uint32_t));
    std::thread writer([&] {
        std::vector<uint32_t> frame(kWords);
        for (uint32_t n = 1; n <= kFrames; ++n) {
            std::fill(frame.begin(), frame.end(), n);
            mailbox.post(reinterpret_cast<const uint8_t*>(frame.data()));
        }
    });
    uint32_t last = 0;
    bool whole = true;
    bool ordered = true;
    std::vector<uint32_t> words(kWords);
    while (last < kFrames && whole && ordered) {
        std::memcpy(words.data(), mailbox.latest(), kWords * sizeof(uint32_t));
        whole = std::all_of(words.begin(), words.end(), [&](uint32_t w) { return w == words[0]; });
        ordered = words[0] >= last;
        last = words[0];
    }
    writer.join();
    EXPECT_TRUE(whole) << "torn frame";
    EXPECT_TRUE(ordered) << "an older frame after a newer one";
}
