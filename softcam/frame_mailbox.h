#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>

// Writes one whole frame at the place given; false when it could not.
using DrawFrame = std::function<bool(uint8_t* frame)>;

// Hands the newest frame from one writer thread to one reader thread without
// either waiting on the other's copy: three buffers, and the lock covers only
// the swap of two pointers.
class FrameMailbox {
public:
    // Three zeroed (black) frames of `frameBytes` each.
    explicit FrameMailbox(size_t frameBytes);

    // Writer: copies `frame` (frameBytes long) in as the newest frame.
    void post(const uint8_t* frame);
    // Writer: the frame `draw` writes becomes the newest; false (nothing
    // posted) when it fails.
    bool post(const DrawFrame& draw);

    // Reader: the newest frame posted so far (black before the first). The
    // bytes stay valid and unchanged until the reader's next call.
    const uint8_t* latest();
    // Reader: a frame was posted that latest() has not given yet.
    bool hasNewFrame();

private:
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t, Free> m_storage;
    uint8_t* m_writing;   // writer's own buffer
    uint8_t* m_ready;     // newest complete frame, shared
    uint8_t* m_reading;   // reader's own buffer
    bool m_fresh = false; // m_ready holds a frame the reader has not taken
    std::mutex m_mutex;
    size_t m_frameBytes;
};
