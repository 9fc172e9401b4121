#pragma once

#include <cstdint>

// Paces a sender at a fixed frame rate with absolute deadlines on the
// monotonic clock. Used by one thread at a time.
class FramePacer {
public:
    explicit FramePacer(double framesPerSecond);

    // Returns at the time of the frame about to be sent: one interval after
    // the previous one, or at once (and counting from now) for the first frame
    // and for a caller already past that time.
    void waitForNextFrame();

private:
    int64_t m_intervalNs;
    int64_t m_nextNs = 0;   // time of the next frame; 0: no frame sent yet
};
