#pragma once

// The camera library: publishes frames as a camera that other programs can
// open. One camera per process; every function is safe to call with a null
// handle (it then does nothing and returns false).
//
// Frames are width x height pixels, 3 bytes each in the order blue, green,
// red, rows top to bottom with no gap (stride width * 3).

#ifdef __cplusplus
extern "C" {
#else
#include <stdbool.h>
#endif

#if defined(SOFTCAM_BUILD)
#define SOFTCAM_API __attribute__((visibility("default")))
#else
#define SOFTCAM_API
#endif

// The name programs list the camera under (its PipeWire node and its
// v4l2loopback device), and the largest width or height of a camera. The
// program's registration and its size bound use the same two.
#define SOFTCAM_CAMERA_NAME "Orvenna Camera"
#define SOFTCAM_MAX_SIDE 7680

typedef void* scCamera;

// A camera of the given size (1..SOFTCAM_MAX_SIDE each way) and frame rate
// (1..120 frames per second, fractions allowed). Null for any other size or
// rate, or while this process already has a camera.
SOFTCAM_API scCamera scCreateCamera(int width, int height, float framerate);

// Removes the camera from the system at once and frees the handle.
SOFTCAM_API void scDeleteCamera(scCamera camera);

// Publishes one frame (copied before the call returns) at the camera's next
// frame time, one interval after the previous frame's. A caller that falls
// behind continues from now; frames are dropped while no PipeWire daemon is
// reachable. A v4l2loopback device labelled SOFTCAM_CAMERA_NAME, while one
// exists, gets the newest frame at the camera's rate for as long as the
// camera exists, the last one again while none is sent.
SOFTCAM_API void scSendFrame(scCamera camera, const void* image_bits);

// Like scSendFrame, but the frame is drawn where it is sent from, saving
// the copy: `draw(frame, user)` is called once, before the call returns and
// after the wait for the frame time, and writes the whole frame (the layout
// above) at `frame`; it must not call the library. When it returns false
// nothing new is sent and scDrawFrame returns false.
typedef bool (*scDrawFunction)(void* frame, void* user);
SOFTCAM_API bool scDrawFrame(scCamera camera, scDrawFunction draw, void* user);

// Waits until some program reads the camera, at most `timeout` seconds
// (zero or less: no limit). True when connected.
SOFTCAM_API bool scWaitForConnection(scCamera camera, float timeout);

// True while at least one program is streaming from the camera: through
// PipeWire, or from the V4L2 device where its module tells (v4l2loopback 0.13
// and later).
SOFTCAM_API bool scIsConnected(scCamera camera);

#ifdef __cplusplus
}
#endif
