// A stand-in for the camera library, built only for the tests. Besides the
// five entry points it exports inspection hooks (declared in
// fake_camera_hooks.h) so that a test can see what was sent and step the
// camera thread one frame at a time instead of sleeping.
//
// Variants: FAKE_WITHOUT_SEND_FRAME leaves out scSendFrame,
// FAKE_WITHOUT_OPTIONAL scWaitForConnection and scIsConnected; FAKE_ORIGIN
// names the build so a test can tell which file was loaded. Whether an
// application reads the camera is up to the test (fakeSetConnected).
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct Camera {
    int width;
    int height;
    Clock::duration period;
    Clock::time_point deadline;
};

struct Event {
    char kind;  // 'c' created, 'f' creation failed, 'd' deleted
    int width;
    int height;
    Clock::time_point time;
};

// What fakeReset forgets.
struct Record {
    int failCreates = 0;
    std::vector<Event> events;
    int framesSent = 0;
    std::vector<uint8_t> lastFrame;
    bool stepping = false;
    int permits = 0;
    bool connected = false;
};

std::mutex mutex;
std::condition_variable changed;
Camera* camera = nullptr;  // one camera per process, like the real library
Record record;

} // namespace

FAKE_EXPORT void* scCreateCamera(int width, int height, float fps)
{
    std::lock_guard lock(mutex);
    if (record.failCreates > 0 || camera) {
        record.failCreates = std::max(record.failCreates - 1, 0);
        record.events.push_back({'f', width, height, Clock::now()});
        return nullptr;
    }
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    camera = new Camera{width, height, period, Clock::now() - period};
    record.events.push_back({'c', width, height, Clock::now()});
    return camera;
}

FAKE_EXPORT void scDeleteCamera(void* handle)
{
    std::lock_guard lock(mutex);
    if (!handle || handle != camera)
        return;
    record.events.push_back({'d', camera->width, camera->height, Clock::now()});
    delete camera;
    camera = nullptr;
}

#ifndef FAKE_WITHOUT_SEND_FRAME
FAKE_EXPORT void scSendFrame(void* handle, const void* bits)
{
    std::unique_lock lock(mutex);
    if (!handle || handle != camera || !bits)
        return;
    Camera& c = *camera;
    const auto* bytes = static_cast<const uint8_t*>(bits);
    record.lastFrame.assign(bytes, bytes + static_cast<size_t>(c.width) * c.height * 3);
    ++record.framesSent;
    changed.notify_all();
    if (record.stepping) {
        changed.wait(lock, [] { return record.permits > 0 || !record.stepping; });
        record.permits = std::max(record.permits - 1, 0);
    }
    // Sleep to the next absolute deadline; a late sender starts again from now.
    c.deadline = std::max(c.deadline + c.period, Clock::now());
    const Clock::time_point deadline = c.deadline;
    lock.unlock();
    std::this_thread::sleep_until(deadline);
}
#endif

#ifndef FAKE_WITHOUT_OPTIONAL
FAKE_EXPORT bool scIsConnected(void* handle)
{
    std::lock_guard lock(mutex);
    return handle && handle == camera && record.connected;
}

FAKE_EXPORT bool scWaitForConnection(void* handle, float)
{
    return scIsConnected(handle);
}
#endif

FAKE_EXPORT const char* fakeOrigin()
{
    return FAKE_ORIGIN;
}

// Whether an application reads the camera, from now on.
FAKE_EXPORT void fakeSetConnected(bool connected)
{
    std::lock_guard lock(mutex);
    record.connected = connected;
}

FAKE_EXPORT void fakeFailCreates(int count)
{
    std::lock_guard lock(mutex);
    record.failCreates = count;
}

// Kind, size and milliseconds since the first event of entry `index`; false
// past the last.
FAKE_EXPORT bool fakeEvent(int index, char* kind, int* width, int* height, double* milliseconds)
{
    std::lock_guard lock(mutex);
    if (index < 0 || index >= static_cast<int>(record.events.size()))
        return false;
    const Event& e = record.events[index];
    *kind = e.kind;
    *width = e.width;
    *height = e.height;
    *milliseconds = std::chrono::duration<double, std::milli>(e.time - record.events.front().time).count();
    return true;
}

FAKE_EXPORT bool fakeCameraExists()
{
    std::lock_guard lock(mutex);
    return camera != nullptr;
}

FAKE_EXPORT int fakeFramesSent()
{
    std::lock_guard lock(mutex);
    return record.framesSent;
}

// True once at least `count` frames were sent, false after `timeoutMs`.
FAKE_EXPORT bool fakeWaitForFrames(int count, int timeoutMs)
{
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [count] { return record.framesSent >= count; });
}

// Byte count of the last frame sent (0 when none); copies it into `out` when
// `capacity` suffices.
FAKE_EXPORT int fakeLastFrame(void* out, int capacity)
{
    std::lock_guard lock(mutex);
    if (out && static_cast<size_t>(capacity) >= record.lastFrame.size())
        std::memcpy(out, record.lastFrame.data(), record.lastFrame.size());
    return static_cast<int>(record.lastFrame.size());
}

// While stepping, scSendFrame records its frame and then waits for a permit
// from fakeStep before it returns. Leaving stepping frees every waiter.
FAKE_EXPORT void fakeSetStepping(bool stepping)
{
    std::lock_guard lock(mutex);
    record.stepping = stepping;
    record.permits = 0;
    changed.notify_all();
}

FAKE_EXPORT void fakeStep()
{
    std::lock_guard lock(mutex);
    ++record.permits;
    changed.notify_all();
}

// Forgets the events, the frames and every setting.
FAKE_EXPORT void fakeReset()
{
    std::lock_guard lock(mutex);
    record = Record{};
    changed.notify_all();
}
