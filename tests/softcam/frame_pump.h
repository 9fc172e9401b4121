#pragma once

#include <softcam.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

// Sends one frame to a camera again and again on a thread of its own, as the
// program's camera thread does, and records the longest scSendFrame call.
class FramePump {
public:
    using Clock = std::chrono::steady_clock;

    FramePump(void* camera, std::vector<uint8_t> frame)
        : m_camera(camera), m_frame(std::move(frame)), m_thread([this] { run(); }) {}
    ~FramePump() { stop(); }
    void stop()
    {
        if (!m_stop.exchange(true))
            m_thread.join();
    }
    int64_t calls() const { return m_calls.load(); }
    Clock::duration longestCall() const { return Clock::duration(m_longest.load()); }

private:
    void run()
    {
        for (; !m_stop; ++m_calls) {
            const auto start = Clock::now();
            scSendFrame(m_camera, m_frame.data());
            m_longest = std::max(m_longest.load(), (Clock::now() - start).count());  // only this thread writes
        }
    }

    void* m_camera;
    std::vector<uint8_t> m_frame;
    std::atomic<bool> m_stop{false};
    std::atomic<int64_t> m_calls{0};
    std::atomic<Clock::rep> m_longest{0};
    std::thread m_thread;
};
