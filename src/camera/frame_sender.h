#pragma once

#include "camera/frame_fitter.h"
#include "camera/manual_reset_event.h"
#include "camera/sound_sender.h"
#include "media/picture_rows.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class VideoDecoder;

// The camera pump. Binds the camera library (loaded at run time, never
// linked) and owns the camera thread, which takes pictures from an open
// VideoDecoder or a still image, fits and mirrors them to the camera size and
// hands them to the camera, which sets the pace: drawn straight into the
// place the library sends them from where it offers scDrawFrame, else through
// scSendFrame. Every member function is
// called on the GUI thread; the public atomics may be read and written from
// any thread.
//
// Thread decisions:
// - The camera thread works on copies of the camera, its size, the entry point
//   and both callbacks taken at start, so the public callbacks may be
//   reassigned at any time and never overlap a call of the old thread.
// - A thread that does not end within the 5000 ms of the stop sequence is kept
//   and joined before the next start, before the camera is deleted and in the
//   destructor: no two loops ever run at once and none outlives the object.
// - A thread that cannot be created, or a stream started without a camera,
//   leaves m_running false.
// - A source that cannot be fitted (or a still image without data) sends
//   nothing and never spins: a video ends as after a failed read, a still
//   image waits for the stop.
// - A video stream lends the decoder a check of the stop request, so that a
//   stop also cuts short long work inside ReadFrame and ends the thread
//   within a frame's time plus one packet's decode; the camera thread takes
//   the check back as its last use of the decoder, so the check never
//   outlives the stream (nor this object).
// - Every start opens a new stream with a new id; the finished callback names
//   the stream it reports, so a late report of an old stream can be told
//   from one of the current stream.
// - A video's sound (SetSoundSource) is decoded and sent on a thread of its
//   own, told of each frame shown; the camera thread never waits for it.
class FrameSender {
public:
    using FrameCallback = std::function<void(PictureRows& source)>;
    using FinishedCallback = std::function<void(std::uint64_t streamId)>;

    FrameSender();
    ~FrameSender();
    FrameSender(const FrameSender&) = delete;
    FrameSender& operator=(const FrameSender&) = delete;

    // Camera library binding.
    // Loads the library beside the program, else through the default search;
    // false unless scCreateCamera, scDeleteCamera and scSendFrame all resolve.
    bool LoadDll();
    // Deletes any camera first: a camera cannot outlive its library.
    void UnloadDll();
    // Stops any stream and replaces the camera by one of width x height at
    // fps, retrying a failed creation once. False leaves no camera.
    bool InitCamera(int width, int height, float fps);
    // Stops any stream and deletes the camera.
    void ShutdownCamera();
    // Some application reads the camera; false without a camera or without
    // scIsConnected.
    bool IsConnected() const;

    // Streams an open decoder; it stays the caller's and must stay open until
    // the stream has ended. Needs a camera (InitCamera), else the thread ends
    // at once without sending.
    void StartVideo(VideoDecoder* decoder, bool loop);
    // Streams a copy of a still-image Frame of width x height.
    void StartImage(const unsigned char* data, int width, int height);
    void Pause();
    void Resume();
    // Seconds; a later request replaces one not yet taken. Video streams
    // only. While paused the camera thread seeks at once and sends the frame
    // on screen at the target to the camera and the preview, and stays paused.
    void SeekTo(double seconds);
    // Ends the camera thread; the camera and the source stay.
    void Stop();
    // The id of the stream started last: 1 for the first start, one more for
    // every StartVideo or StartImage; 0 before any.
    std::uint64_t CurrentStreamId() const { return m_streamId; }
    // The file whose sound video streams send as a microphone beside the
    // camera, where the camera library has one; empty: no sound. Applies to
    // the video streaming now, if any, and to the next ones; the microphone
    // comes and goes with the stream (SoundSender).
    void SetSoundSource(std::wstring path);
    SoundSender::State SoundState() const { return m_sound.state(); }

    std::atomic<bool> m_running{false};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_loop{true};     // rewind a video at its end
    std::atomic<bool> m_mirror{false};  // left to right
    std::atomic<bool> m_stretch{false}; // instead of letterboxing
    // Frames sent per second of playing (a pause does not count); the
    // camera's own rate from the start until the first second is measured.
    std::atomic<double> m_measuredFps{0.0};
    std::atomic<double> m_videoPosition{0.0};  // seconds, last decoded frame
    std::atomic<double> m_videoDuration{0.0};  // seconds
    // Called on the camera thread with the source picture, at most 30 times a
    // second, once it was fitted and sent (or could not be): the rows the
    // camera converted are there to read. The rows are for this call only;
    // source.picture() may be kept and read on another thread.
    FrameCallback m_frameCallback;
    // Called on the camera thread with the stream's id when the stream ends
    // by itself (end of a video without loop, a failed read, a picture that
    // cannot be fitted), never after a stop.
    FinishedCallback m_finishedCallback;

private:
    using CreateCameraFn = void* (*)(int, int, float);
    using DeleteCameraFn = void (*)(void*);
    using SendFrameFn = void (*)(void*, const void*);
    using DrawFrameFn = bool (*)(void*, bool (*)(void*, void*), void*);
    using WaitForConnectionFn = bool (*)(void*, float);
    using IsConnectedFn = bool (*)(void*);

    // What the camera thread of one stream works on, fixed at start.
    struct Stream {
        std::uint64_t id = 0;
        void* camera = nullptr;
        SendFrameFn sendFrame = nullptr;
        DrawFrameFn drawFrame = nullptr;  // null: the library has none
        int width = 0;
        int height = 0;
        FrameCallback frameCallback;
        FinishedCallback finishedCallback;
    };

    void stopSequence();
    // The camera thread's wait while paused; returns on Resume, a seek or the stop.
    void waitWhilePaused();
    void joinThread();
    void startThread();
    // Takes the stop check back from the decoder (camera thread, at its end).
    void releaseDecoder();
    // The camera thread's loop; true when it ended by itself.
    bool Run(const Stream& stream);
    // Fits the picture and sends it (camera thread); false when it cannot be fitted.
    bool send(const Stream& stream, PictureRows& source);
    void deleteCamera();
    void clearEntryPoints();

    void* m_camera = nullptr;
    int m_width = 640;
    int m_height = 480;
    float m_fps = 30.0f;  // the camera's frame rate
    void* m_dll = nullptr;
    CreateCameraFn m_createCamera = nullptr;
    DeleteCameraFn m_deleteCamera = nullptr;
    SendFrameFn m_sendFrame = nullptr;
    DrawFrameFn m_drawFrame = nullptr;
    WaitForConnectionFn m_waitForConnection = nullptr;
    IsConnectedFn m_isConnected = nullptr;

    VideoDecoder* m_videoDecoder = nullptr;
    std::shared_ptr<const Picture> m_stillImage;  // a private copy; null when none
    bool m_videoMode = false;

    std::thread m_thread;
    ManualResetEvent m_stopEvent{false};
    ManualResetEvent m_runEvent{true};
    ManualResetEvent m_threadEnded{false};  // set as the thread's last act
    std::uint64_t m_streamId = 0;  // GUI thread only
    std::atomic<int32_t> m_framesSent{0};
    std::atomic<double> m_seekRequest{-1.0};
    FrameFitter m_fitter;  // the camera thread's work buffers, kept across streams
    std::wstring m_soundSource;
    SoundSender m_sound;  // told of every frame the camera thread shows
};
