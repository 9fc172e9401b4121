#include "frame_mailbox.h"

#include <cstring>
#include <utility>

FrameMailbox::FrameMailbox(size_t frameBytes)
    : m_storage(frameBytes * 3)
    , m_writing(m_storage.data())
    , m_ready(m_storage.data() + frameBytes)
    , m_reading(m_storage.data() + 2 * frameBytes)
    , m_frameBytes(frameBytes)
{
}

void FrameMailbox::post(const uint8_t* frame)
{
    std::memcpy(m_writing, frame, m_frameBytes);
    std::lock_guard lock(m_mutex);
    std::swap(m_writing, m_ready);
    m_fresh = true;
}

const uint8_t* FrameMailbox::latest()
{
    std::lock_guard lock(m_mutex);
    if (m_fresh) {
        std::swap(m_reading, m_ready);
        m_fresh = false;
    }
    return m_reading;
}

bool FrameMailbox::hasNewFrame()
{
    std::lock_guard lock(m_mutex);
    return m_fresh;
}
