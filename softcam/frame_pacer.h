#pragma once

#include <cstdint>

// Paces a sender at a fixed frame rate with absolute deadlines on the
// monotonic clock. Used by one thread at a time.
class FramePacer {
public:
    explicit FramePacer(double framesPerSecond);

    // Returns at the next frame time: one interval after the previous one, or
    // at once (and counting from now) when the caller is already past it.
    void waitForNextFrame();

private:
    int64_t m_intervalNs;
    int64_t m_nextNs = 0;   // 0: no frame sent yet
};
