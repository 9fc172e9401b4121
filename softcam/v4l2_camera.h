#pragma once

#include "frame_mailbox.h"
#include "v4l2_client_usage.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// The camera's second output: a v4l2loopback device labelled
// SOFTCAM_CAMERA_NAME, for programs that only open /dev/video*. A thread of its own
// writes the newest frame at the camera's rate for as long as the camera
// exists, the same frame again when none came (with exclusive_caps, readers
// see the device only while a writer writes). The device is looked for at
// most once a second while there is none, and dropped when a write fails;
// senders never wait for any of it.
class V4l2Camera {
public:
    // `connectionChanged` is called on the camera's thread whenever
    // isConnected() changes. `sysfsRoot`, `deviceDirectory` and `ioctl` are
    // "/sys", "/dev" and the system's on a real system; tests pass their own.
    V4l2Camera(int width, int height, double framesPerSecond,
               std::function<void()> connectionChanged, std::string sysfsRoot = "/sys",
               std::string deviceDirectory = "/dev", IoctlFunction ioctl = systemIoctl);
    // Stops the thread (at once, not at the next frame time) and closes the device.
    ~V4l2Camera();
    V4l2Camera(const V4l2Camera&) = delete;
    V4l2Camera& operator=(const V4l2Camera&) = delete;

    // Copies one width * height * 3 BGR frame in as the newest. One caller at
    // a time. Without a device only one frame a second is kept (for a device
    // that appears), so the sender does not copy every frame for nobody.
    void publish(const uint8_t* bgr);
    // publish() would keep a frame now: a device is open, or the one frame
    // a second kept without one is due.
    bool wantsFrame() const;

    // True while some program streams from the device, where the module
    // tells (v4l2loopback 0.13 and later); false on older modules.
    bool isConnected() const { return m_connected.load(); }

private:
    void run();

    const int m_width;
    const int m_height;
    const double m_framesPerSecond;
    const std::chrono::steady_clock::duration m_interval;
    const std::function<void()> m_connectionChanged;
    const std::string m_sysfsRoot;
    const std::string m_deviceDirectory;
    const IoctlFunction m_ioctl;
    FrameMailbox m_mailbox;
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_deviceOpen{false};
    std::chrono::steady_clock::time_point m_nextIdlePost;  // publish's caller only
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;   // last: starts once everything above exists
};
