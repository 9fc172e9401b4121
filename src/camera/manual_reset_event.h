#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// An event that stays signalled until reset, like a Windows manual-reset
// event. Every member may be called from any thread.
class ManualResetEvent {
public:
    explicit ManualResetEvent(bool signalled = false) : m_signalled(signalled) {}

    void set()
    {
        {
            std::lock_guard lock(m_mutex);
            m_signalled = true;
        }
        m_changed.notify_all();
    }

    void reset()
    {
        std::lock_guard lock(m_mutex);
        m_signalled = false;
    }

    bool isSet() const
    {
        std::lock_guard lock(m_mutex);
        return m_signalled;
    }

    void wait() const
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_signalled; });
    }

    // True when the event was signalled within `timeout`.
    bool waitFor(std::chrono::milliseconds timeout) const
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [this] { return m_signalled; });
    }

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_signalled;
};
