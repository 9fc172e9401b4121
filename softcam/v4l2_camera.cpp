#include "v4l2_camera.h"

#include "loopback_devices.h"
#include "softcam.h"
#include "v4l2_output.h"

#include <algorithm>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// A sysfs scan and, when found, an open and a few ioctls: cheap, but not
// worth doing every frame while there is no device.
constexpr auto kRescanInterval = std::chrono::seconds(1);

} // namespace

V4l2Camera::V4l2Camera(int width, int height, double framesPerSecond,
                       std::function<void()> connectionChanged, std::string sysfsRoot,
                       std::string deviceDirectory, IoctlFunction ioctl)
    : m_width(width)
    , m_height(height)
    , m_framesPerSecond(framesPerSecond)
    , m_interval(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / framesPerSecond)))
    , m_connectionChanged(std::move(connectionChanged))
    , m_sysfsRoot(std::move(sysfsRoot))
    , m_deviceDirectory(std::move(deviceDirectory))
    , m_ioctl(ioctl)
    , m_mailbox(size_t(width) * size_t(height) * 3)
    , m_thread(&V4l2Camera::run, this)
{
}

V4l2Camera::~V4l2Camera()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

bool V4l2Camera::wantsFrame() const
{
    return m_deviceOpen || Clock::now() >= m_nextIdlePost;
}

void V4l2Camera::publish(const uint8_t* bgr)
{
    if (!wantsFrame())
        return;
    m_nextIdlePost = Clock::now() + kRescanInterval;
    m_mailbox.post(bgr);
}

void V4l2Camera::run()
{
    std::unique_ptr<V4l2Output> output;
    Clock::time_point nextScan = Clock::now();
    Clock::time_point nextFrame = nextScan;
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        lock.unlock();
        const Clock::time_point now = Clock::now();
        if (!output && now >= nextScan) {
            nextScan = now + kRescanInterval;
            if (const auto number = findLoopbackDevice(m_sysfsRoot, SOFTCAM_CAMERA_NAME))
                output = V4l2Output::open(m_deviceDirectory + "/video" + std::to_string(*number),
                                          m_width, m_height, m_framesPerSecond, m_ioctl);
        }
        if (output && !output->write(m_mailbox.latest()))
            output.reset();
        m_deviceOpen = output != nullptr;
        const bool connected = output && output->readersStreaming();
        if (connected != m_connected.exchange(connected) && m_connectionChanged)
            m_connectionChanged();
        // Absolute frame times; one that has passed is not caught up on.
        nextFrame = std::max(nextFrame + m_interval, Clock::now());
        lock.lock();
        // Without a device there is nothing to write until the next look for one.
        m_wake.wait_until(lock, output ? nextFrame : nextScan, [this] { return m_stopping; });
    }
}
