// The five exported entry points; everything else in the library is hidden.
#include "softcam.h"

#include "frame_pacer.h"
#include "pipewire_camera.h"

#include <cmath>
#include <memory>
#include <mutex>

namespace {

constexpr int kMaxSide = 7680;

struct Camera {
    std::unique_ptr<PipeWireCamera> output;
    FramePacer pacer;
};

std::mutex g_mutex;
Camera* g_camera = nullptr;   // the process's one camera

} // namespace

extern "C" {

scCamera scCreateCamera(int width, int height, float framerate)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide ||
        !(framerate >= 1.0f && framerate <= 120.0f))
        return nullptr;
    std::lock_guard lock(g_mutex);
    if (g_camera)
        return nullptr;
    auto output = PipeWireCamera::create(width, height, framerate);
    if (!output)
        return nullptr;
    g_camera = new Camera{std::move(output), FramePacer(framerate)};
    return g_camera;
}

void scDeleteCamera(scCamera camera)
{
    std::lock_guard lock(g_mutex);
    if (!camera || camera != g_camera)
        return;
    delete g_camera;
    g_camera = nullptr;
}

void scSendFrame(scCamera camera, const void* image_bits)
{
    if (!camera || !image_bits)
        return;
    auto* c = static_cast<Camera*>(camera);
    // Waiting first spaces the frames one interval apart even after a stall:
    // two frames published back to back would leave the camera only the second.
    c->pacer.waitForNextFrame();
    c->output->publish(static_cast<const uint8_t*>(image_bits));
}

bool scWaitForConnection(scCamera camera, float timeout)
{
    if (!camera)
        return false;
    return static_cast<Camera*>(camera)->output->waitForConnection(timeout > 0 ? timeout : -1.0);
}

bool scIsConnected(scCamera camera)
{
    return camera && static_cast<Camera*>(camera)->output->isConnected();
}

} // extern "C"
