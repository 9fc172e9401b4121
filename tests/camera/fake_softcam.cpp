// A stand-in for the camera library with test hooks (fake_camera.h), e.g. to
// step the camera thread frame by frame instead of sleeping. Variants leave out
// scSendFrame (FAKE_WITHOUT_SEND_FRAME) or the optional entry points.
#include "fake_camera.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct Camera {
    int width, height;
    Clock::duration period;
    Clock::time_point deadline;
};

// What reset() forgets.
struct Record {
    Clock::time_point start = Clock::now();
    int failCreates = 0, framesSent = 0, permits = 0;
    std::vector<FakeCamera::Event> events;
    std::vector<uint8_t> lastFrame;
    bool stepping = false, connected = false;
};

std::mutex mutex;
std::condition_variable changed;
Camera* camera = nullptr;  // one camera per process, like the real library
Record record;

void log(char kind, int width, int height)
{
    const std::chrono::duration<double, std::milli> since = Clock::now() - record.start;
    record.events.push_back({kind, width, height, since.count()});
}

// Runs `f` on the record under the lock and wakes every waiter.
template <typename F>
auto locked(F f)
{
    std::lock_guard lock(mutex);
    changed.notify_all();
    return f(record);
}

class Fake final : public FakeCamera {
public:
    const char* origin() const override { return FAKE_ORIGIN; }
    std::vector<Event> events() const override { return locked([](Record& r) { return r.events; }); }
    int framesSent() const override { return locked([](Record& r) { return r.framesSent; }); }
    std::vector<uint8_t> lastFrame() const override { return locked([](Record& r) { return r.lastFrame; }); }
    void failCreates(int count) override { locked([=](Record& r) { r.failCreates = count; }); }
    void setConnected(bool connected) override { locked([=](Record& r) { r.connected = connected; }); }
    void setStepping(bool stepping) override { locked([=](Record& r) { r.stepping = stepping, r.permits = 0; }); }
    void step() override { locked([](Record& r) { ++r.permits; }); }
    void reset() override { locked([](Record& r) { r = Record{}; }); }
    bool waitForFrames(int count, int timeoutMs) const override
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [=] { return record.framesSent >= count; });
    }
};

Fake fake;

} // namespace

FAKE_EXPORT FakeCamera* fakeCamera()
{
    return &fake;
}

FAKE_EXPORT void* scCreateCamera(int width, int height, float fps)
{
    std::lock_guard lock(mutex);
    if (record.failCreates > 0 || camera) {
        record.failCreates = std::max(record.failCreates - 1, 0);
        log('f', width, height);
        return nullptr;
    }
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    camera = new Camera{width, height, period, Clock::now() - period};
    log('c', width, height);
    return camera;
}

FAKE_EXPORT void scDeleteCamera(void* handle)
{
    std::lock_guard lock(mutex);
    if (!handle || handle != camera)
        return;
    log('d', camera->width, camera->height);
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
