// A stand-in for the camera library, built only for the tests. Besides the
// five entry points it exports inspection hooks (declared in
// fake_camera_hooks.h) so that a test can see what was sent and step the
// camera thread one frame at a time instead of sleeping.
//
// Variants: FAKE_WITHOUT_SEND_FRAME leaves out scSendFrame,
// FAKE_WITHOUT_OPTIONAL scWaitForConnection and scIsConnected; FAKE_ORIGIN
// names the build so a test can tell which file was loaded.
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

struct State {
    std::mutex mutex;
    std::condition_variable changed;
    Camera* camera = nullptr;  // one camera per process, like the real library
    int failCreates = 0;
    std::vector<Event> events;
    int framesSent = 0;
    std::vector<uint8_t> lastFrame;
    int lastWidth = 0;
    int lastHeight = 0;
    bool stepping = false;
    int permits = 0;
};

State& state()
{
    static State s;
    return s;
}

} // namespace

FAKE_EXPORT void* scCreateCamera(int width, int height, float fps)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    const bool valid = width >= 1 && height >= 1 && width <= 16384 && height <= 16384
                       && fps >= 1.0f && fps <= 1000.0f;
    if (s.failCreates > 0 || !valid || s.camera) {
        if (s.failCreates > 0)
            --s.failCreates;
        s.events.push_back({'f', width, height, Clock::now()});
        return nullptr;
    }
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    s.camera = new Camera{width, height, period, Clock::now() - period};
    s.events.push_back({'c', width, height, Clock::now()});
    return s.camera;
}

FAKE_EXPORT void scDeleteCamera(void* camera)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!camera || camera != s.camera)
        return;
    s.events.push_back({'d', s.camera->width, s.camera->height, Clock::now()});
    delete s.camera;
    s.camera = nullptr;
}

#ifndef FAKE_WITHOUT_SEND_FRAME
FAKE_EXPORT void scSendFrame(void* camera, const void* bits)
{
    State& s = state();
    std::unique_lock lock(s.mutex);
    if (!camera || camera != s.camera || !bits)
        return;
    Camera& c = *s.camera;
    const auto* bytes = static_cast<const uint8_t*>(bits);
    s.lastFrame.assign(bytes, bytes + static_cast<size_t>(c.width) * c.height * 3);
    s.lastWidth = c.width;
    s.lastHeight = c.height;
    ++s.framesSent;
    s.changed.notify_all();
    if (s.stepping) {
        s.changed.wait(lock, [&s] { return s.permits > 0 || !s.stepping; });
        if (s.permits > 0)
            --s.permits;
    }
    // Sleep to the next absolute deadline; a late sender starts again from now.
    c.deadline = std::max(c.deadline + c.period, Clock::now());
    const Clock::time_point deadline = c.deadline;
    lock.unlock();
    std::this_thread::sleep_until(deadline);
}
#endif

#ifndef FAKE_WITHOUT_OPTIONAL
// An application is taken to read every camera that exists.
FAKE_EXPORT bool scIsConnected(void* camera)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return camera && camera == s.camera;
}

FAKE_EXPORT bool scWaitForConnection(void* camera, float)
{
    return scIsConnected(camera);
}
#endif

FAKE_EXPORT const char* fakeOrigin()
{
    return FAKE_ORIGIN;
}

FAKE_EXPORT void fakeFailCreates(int count)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.failCreates = count;
}

FAKE_EXPORT int fakeEventCount()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return static_cast<int>(s.events.size());
}

// Kind, size and milliseconds since the first event of entry `index`.
FAKE_EXPORT bool fakeEvent(int index, char* kind, int* width, int* height, double* milliseconds)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (index < 0 || index >= static_cast<int>(s.events.size()))
        return false;
    const Event& e = s.events[index];
    *kind = e.kind;
    *width = e.width;
    *height = e.height;
    *milliseconds = std::chrono::duration<double, std::milli>(e.time - s.events.front().time).count();
    return true;
}

FAKE_EXPORT bool fakeCameraExists()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.camera != nullptr;
}

FAKE_EXPORT int fakeFramesSent()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.framesSent;
}

// True once at least `count` frames were sent, false after `timeoutMs`.
FAKE_EXPORT bool fakeWaitForFrames(int count, int timeoutMs)
{
    State& s = state();
    std::unique_lock lock(s.mutex);
    return s.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&s, count] { return s.framesSent >= count; });
}

// Byte count of the last frame sent (0 when none); copies it into `out` when
// `capacity` suffices.
FAKE_EXPORT int fakeLastFrame(void* out, int capacity, int* width, int* height)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (out && static_cast<size_t>(capacity) >= s.lastFrame.size()) {
        std::memcpy(out, s.lastFrame.data(), s.lastFrame.size());
        *width = s.lastWidth;
        *height = s.lastHeight;
    }
    return static_cast<int>(s.lastFrame.size());
}

// While stepping, scSendFrame records its frame and then waits for a permit
// from fakeStep before it returns. Leaving stepping frees every waiter.
FAKE_EXPORT void fakeSetStepping(bool stepping)
{
    State& s = state();
    {
        std::lock_guard lock(s.mutex);
        s.stepping = stepping;
        s.permits = 0;
    }
    s.changed.notify_all();
}

FAKE_EXPORT void fakeStep()
{
    State& s = state();
    {
        std::lock_guard lock(s.mutex);
        ++s.permits;
    }
    s.changed.notify_all();
}

// Forgets the events, the frames and every setting.
FAKE_EXPORT void fakeReset()
{
    State& s = state();
    {
        std::lock_guard lock(s.mutex);
        s.failCreates = 0;
        s.events.clear();
        s.framesSent = 0;
        s.lastFrame.clear();
        s.lastWidth = s.lastHeight = 0;
        s.stepping = false;
        s.permits = 0;
    }
    s.changed.notify_all();
}
