#pragma once

// The camera library: publishes frames as a camera that other programs can
// open, and sound as a microphone beside it. One camera and one microphone
// per process; every function is safe to call with a null handle (it then
// does nothing and returns false).
//
// Frames are width x height pixels, 3 bytes each in the order blue, green,
// red, rows top to bottom with no gap (stride width * 3).
//
// The microphone's three functions are optional: a program that finds them
// missing (the Windows camera library has none) sends no sound.

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
typedef void* scMicrophone;

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

// A microphone ("Orvenna Microphone") taking interleaved 32-bit float sound
// at `sample_rate` (8000..192000) with 1 or 2 channels. Null for anything
// else, or while this process already has a microphone.
SOFTCAM_API scMicrophone scCreateMicrophone(int sample_rate, int channels);

// Removes the microphone from the system at once and frees the handle.
SOFTCAM_API void scDeleteMicrophone(scMicrophone microphone);

// Queues `frames` frames of sound (copied before the call returns) to be heard
// from `time_ns` on: nanoseconds on CLOCK_MONOTONIC, the clock scSendFrame
// paces frames on, so sound and pictures meet. What was queued from that time
// on is replaced; zero frames leave silence from then on. Programs that read
// the microphone get the sound due at each moment, whatever their buffering:
// sound that comes too late for its time is skipped, gaps are silence, and no
// backlog builds while nobody reads; sound meant for a minute or more from now
// is dropped. Never waits.
SOFTCAM_API void scSendSound(scMicrophone microphone, const float* samples, int frames,
                             long long time_ns);

#ifdef __cplusplus
}
#endif
