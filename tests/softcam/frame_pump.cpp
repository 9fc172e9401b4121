#include "frame_pump.h"

#include <softcam.h>

FramePump::FramePump(void* camera, std::vector<uint8_t> frame)
    : m_camera(camera), m_frame(std::move(frame)), m_thread(&FramePump::run, this)
{
}

FramePump::~FramePump()
{
    stop();
}

void FramePump::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void FramePump::run()
{
    while (!m_stop) {
        const auto start = Clock::now();
        scSendFrame(m_camera, m_frame.data());
        const auto took = (Clock::now() - start).count();
        if (took > m_longest.load())
            m_longest = took;
        ++m_calls;
    }
}
