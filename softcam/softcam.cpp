// The exported entry points; everything else in the library is hidden.
#include "softcam.h"

#include "frame_pacer.h"
#include "pipewire_camera.h"
#include "pipewire_microphone.h"
#include "v4l2_camera.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

namespace {

// Two outputs of the same frames: PipeWire, and the v4l2loopback device for
// programs that only speak V4L2. Either one's readers make it connected.
struct Camera {
    Camera(int width, int height, double framesPerSecond)
        : frameBytes(size_t(width) * size_t(height) * 3), pacer(framesPerSecond)
    {
    }

    bool isConnected() const
    {
        return pipewire->isConnected() || v4l2->isConnected();
    }

    // Called by either output's thread when its connection changes.
    void connectionChanged()
    {
        { std::lock_guard lock(mutex); }   // a waiter is either waiting or has yet to look
        changed.notify_all();
    }

    // Sends a frame to both outputs. The device's thread keeps a copy of its
    // own, so a frame drawn for both is drawn once, here, when it wants one.
    bool send(const DrawFrame& draw)
    {
        // Waiting first spaces the frames one interval apart even after a
        // stall: two frames published back to back would leave the camera
        // only the second.
        pacer.waitForNextFrame();
        if (!v4l2->wantsFrame())
            return pipewire->publish(draw);
        drawn.resize(frameBytes);
        if (!draw(drawn.data()))
            return false;
        pipewire->publish([this](uint8_t* out) {
            std::memcpy(out, drawn.data(), frameBytes);
            return true;
        });
        v4l2->publish(drawn.data());
        return true;
    }

    const size_t frameBytes;
    std::vector<uint8_t> drawn;  // only while the device wants frames
    std::mutex mutex;
    std::condition_variable changed;
    FramePacer pacer;
    std::unique_ptr<PipeWireCamera> pipewire;
    std::unique_ptr<V4l2Camera> v4l2;
};

std::mutex g_mutex;
Camera* g_camera = nullptr;   // the process's one camera
PipeWireMicrophone* g_microphone = nullptr;   // and its one microphone

// Deletes the process's one camera or microphone when `handle` is it.
template <typename T>
void deleteIfOurs(void* handle, T*& ours)
{
    std::lock_guard lock(g_mutex);
    if (!handle || handle != ours)
        return;
    delete ours;
    ours = nullptr;
}

} // namespace

extern "C" {

scCamera scCreateCamera(int width, int height, float framerate)
{
    if (width < 1 || height < 1 || width > SOFTCAM_MAX_SIDE || height > SOFTCAM_MAX_SIDE ||
        !(framerate >= 1.0f && framerate <= 120.0f))
        return nullptr;
    std::lock_guard lock(g_mutex);
    if (g_camera)
        return nullptr;
    auto camera = std::make_unique<Camera>(width, height, framerate);
    Camera* c = camera.get();
    camera->pipewire = PipeWireCamera::create(width, height, framerate, [c] { c->connectionChanged(); });
    if (!camera->pipewire)
        return nullptr;
    try {
        camera->v4l2 = std::make_unique<V4l2Camera>(width, height, framerate,
                                                    [c] { c->connectionChanged(); });
    } catch (const std::system_error&) {   // no thread to be had
        return nullptr;
    }
    g_camera = camera.release();
    return g_camera;
}

void scDeleteCamera(scCamera camera)
{
    deleteIfOurs(camera, g_camera);
}

void scSendFrame(scCamera camera, const void* image_bits)
{
    if (!camera || !image_bits)
        return;
    auto* c = static_cast<Camera*>(camera);
    c->send([c, image_bits](uint8_t* out) {
        std::memcpy(out, image_bits, c->frameBytes);
        return true;
    });
}

bool scDrawFrame(scCamera camera, scDrawFunction draw, void* user)
{
    if (!camera || !draw)
        return false;
    return static_cast<Camera*>(camera)->send([draw, user](uint8_t* out) { return draw(out, user); });
}

bool scWaitForConnection(scCamera camera, float timeout)
{
    if (!camera)
        return false;
    auto* c = static_cast<Camera*>(camera);
    std::unique_lock lock(c->mutex);
    const auto connected = [c] { return c->isConnected(); };
    if (timeout <= 0) {
        c->changed.wait(lock, connected);
        return true;
    }
    return c->changed.wait_for(lock, std::chrono::duration<double>(timeout), connected);
}

bool scIsConnected(scCamera camera)
{
    return camera && static_cast<Camera*>(camera)->isConnected();
}

scMicrophone scCreateMicrophone(int sample_rate, int channels)
{
    if (sample_rate < 8000 || sample_rate > 192000 || channels < 1 || channels > 2)
        return nullptr;
    std::lock_guard lock(g_mutex);
    if (g_microphone)
        return nullptr;
    g_microphone = PipeWireMicrophone::create(sample_rate, channels).release();
    return g_microphone;
}

void scDeleteMicrophone(scMicrophone microphone)
{
    deleteIfOurs(microphone, g_microphone);
}

void scSendSound(scMicrophone microphone, const float* samples, int frames, long long time_ns)
{
    if (!microphone || frames < 0 || (frames > 0 && !samples))
        return;
    static_cast<PipeWireMicrophone*>(microphone)->send(samples, frames, time_ns);
}

} // extern "C"
