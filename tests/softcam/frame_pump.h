#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

// Sends one frame to a camera again and again on a thread of its own, as the
// program's camera thread does, and records how long each scSendFrame took.
class FramePump {
public:
    using Clock = std::chrono::steady_clock;

    FramePump(void* camera, std::vector<uint8_t> frame);
    ~FramePump();   // stops

    void stop();

    // Calls made so far; safe while running.
    int64_t calls() const { return m_calls.load(); }
    // Longest single call so far.
    Clock::duration longestCall() const { return Clock::duration(m_longest.load()); }

private:
    void run();

    void* m_camera;
    std::vector<uint8_t> m_frame;
    std::atomic<bool> m_stop{false};
    std::atomic<int64_t> m_calls{0};
    std::atomic<Clock::rep> m_longest{0};
    std::thread m_thread;
};
