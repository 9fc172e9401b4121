#include "frame_mailbox.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {
// Zeroed by the system as it is first touched: a buffer never written takes
// no memory (the PipeWire side posts only while it does not drive its graph).
uint8_t* zeroedFrames(size_t bytes)
{
    auto* storage = static_cast<uint8_t*>(std::calloc(bytes, 1));
    if (!storage)
        throw std::bad_alloc();
    return storage;
}
} // namespace

FrameMailbox::FrameMailbox(size_t frameBytes)
    : m_storage(zeroedFrames(frameBytes * 3))
    , m_writing(m_storage.get())
    , m_ready(m_storage.get() + frameBytes)
    , m_reading(m_storage.get() + 2 * frameBytes)
    , m_frameBytes(frameBytes)
{
}

void FrameMailbox::post(const uint8_t* frame)
{
    post([&](uint8_t* out) {
        std::memcpy(out, frame, m_frameBytes);
        return true;
    });
}

bool FrameMailbox::post(const DrawFrame& draw)
{
    if (!draw(m_writing))
        return false;
    std::lock_guard lock(m_mutex);
    std::swap(m_writing, m_ready);
    m_fresh = true;
    return true;
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
