#pragma once

#include "camera/media_clock.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class SoundDecoder;

// The sound beside the camera: on a thread of its own it decodes a video
// file's sound and sends it to the camera library's microphone, following
// the frames the camera thread reports (MediaClock): where the picture is
// shown, seeks, loops or stops, the sound does the same. Start, Stop, Bind,
// Hold and Release are called on the GUI thread, FrameShown on the camera
// thread. FrameShown, Hold and Release never wait for the sound thread; Stop
// (and Start, which stops first) waits for its current step, one read of the
// file at most. Nothing the sound does (a file without sound, a damaged
// track) reaches the picture.
//
// The microphone exists while the thread follows a file with a sound track,
// and goes when the thread ends.
class SoundSender {
public:
    using Clock = MediaClock::Clock;

    enum class State {
        Off,      // no sound asked for
        Opening,  // the file's sound track is being opened
        Sending,  // the microphone exists and gets the sound
        NoSound,  // the file has no sound to send, or no microphone could be made
    };

    SoundSender() = default;
    ~SoundSender();
    SoundSender(const SoundSender&) = delete;
    SoundSender& operator=(const SoundSender&) = delete;

    // Takes the camera library's microphone entry points, which are optional:
    // false where it has none (the Windows camera library), and then Start
    // does nothing. Unbind stops the sound first.
    bool Bind(void* library);
    void Unbind();

    // Sends the sound of the video at `path`, in step with the frames shown
    // from now on; any earlier sound stops first.
    void Start(const std::wstring& path);
    // Ends the thread, and the microphone with it, within one read of the file.
    void Stop();

    // Camera thread, for every frame sent while playing: the frame at
    // `mediaSeconds` went out at `shownAt`; `jumped` when a seek or a loop
    // brought it.
    void FrameShown(double mediaSeconds, Clock::time_point shownAt, bool jumped);
    // The picture stands still (pause): silence from now on. Release: it
    // moves again from the next frame shown.
    void Hold();
    void Release();

    State state() const { return m_state; }

private:
    using CreateFn = void* (*)(int, int);
    using DeleteFn = void (*)(void*);
    using SendFn = void (*)(void*, const float*, int, long long);

    void run(const std::wstring& path);
    void setMicrophone(void* microphone);
    // Follows the clock until the stop: the thread's loop.
    void follow(SoundDecoder& decoder, void* microphone);

    CreateFn m_create = nullptr;
    DeleteFn m_delete = nullptr;
    SendFn m_send = nullptr;

    std::atomic<State> m_state{State::Off};
    std::thread m_thread;
    // Guarded by m_mutex; m_changed tells the thread of an epoch, a hold,
    // a release or the stop.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    MediaClock m_clock;
    void* m_microphone = nullptr;  // the thread's, while it follows
    bool m_held = false;      // since Hold: nothing is to be heard
    bool m_released = false;  // the next frame shown ends the hold
    Clock::time_point m_heldAt;
    std::atomic<bool> m_stopping{false};  // written under m_mutex, read by the decoder's stop check too
};
