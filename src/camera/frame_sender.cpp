#include "camera/frame_sender.h"

#include "media/frame.h"
#include "media/picture.h"
#include "media/video_decoder.h"

#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

namespace {
constexpr auto kStopTimeout = std::chrono::milliseconds(5000);
} // namespace

FrameSender::FrameSender() = default;

FrameSender::~FrameSender()
{
    Stop();
    ShutdownCamera();
    UnloadDll();
}

void FrameSender::stopSequence()
{
    // Run is signalled after stop so that a paused thread wakes and sees it.
    m_stopEvent.set();
    m_runEvent.set();
    if (m_thread.joinable() && m_threadEnded.waitFor(kStopTimeout))
        m_thread.join();
    m_running = false;
    m_paused = false;
    m_framesSent = 0;
    m_measuredFps = 0.0;
    m_sound.Stop();
}

void FrameSender::joinThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void FrameSender::Stop()
{
    stopSequence();
}

void FrameSender::StartVideo(VideoDecoder* decoder, bool loop)
{
    stopSequence();
    joinThread();
    m_videoDecoder = decoder;
    m_videoMode = decoder != nullptr;
    m_loop = loop;
    m_seekRequest = -1.0;
    m_stillImage.reset();
    if (decoder)
        decoder->SetInterruptCheck([this] { return m_stopEvent.isSet(); });
    startThread();
    if (m_videoMode && m_camera && !m_soundSource.empty())
        m_sound.Start(m_soundSource);
}

void FrameSender::SetSoundSource(std::wstring path)
{
    m_soundSource = std::move(path);
    if (!m_running || !m_videoMode || !m_camera)
        return;
    if (m_soundSource.empty())
        m_sound.Stop();
    else
        m_sound.Start(m_soundSource);
}

void FrameSender::StartImage(const unsigned char* data, int width, int height)
{
    stopSequence();
    joinThread();
    m_videoDecoder = nullptr;
    m_videoMode = false;
    const auto bytes = frameBytes(width, height);
    if (data && bytes)
        m_stillImage = std::make_shared<FramePicture>(std::vector<uint8_t>(data, data + *bytes), width, height);
    else
        m_stillImage.reset();
    startThread();
}

void FrameSender::startThread()
{
    m_stopEvent.reset();
    m_runEvent.set();
    m_threadEnded.reset();
    m_running = true;
    m_paused = false;
    m_framesSent = 0;
    m_measuredFps = m_fps;  // until the first second of playing is measured
    Stream stream{++m_streamId, m_camera,   m_sendFrame,     m_drawFrame,
                  m_width,      m_height,   m_frameCallback, m_finishedCallback};
    try {
        m_thread = std::thread([this, stream = std::move(stream)] {
            const bool endedByItself = Run(stream);
            releaseDecoder();
            m_running = false;
            if (endedByItself && !m_stopEvent.isSet() && stream.finishedCallback)
                stream.finishedCallback(stream.id);
            m_threadEnded.set();
        });
    } catch (const std::system_error&) {
        releaseDecoder();
        m_running = false;
    }
}

void FrameSender::releaseDecoder()
{
    // The check refers to this object; the decoder may outlive it.
    if (m_videoDecoder)
        m_videoDecoder->SetInterruptCheck({});
}

void FrameSender::Pause()
{
    if (m_running && !m_paused) {
        m_paused = true;
        m_runEvent.reset();
        m_sound.Hold();
    }
}

void FrameSender::Resume()
{
    if (m_running && m_paused) {
        m_paused = false;
        m_sound.Release();
        m_runEvent.set();
    }
}

void FrameSender::SeekTo(double seconds)
{
    m_seekRequest = seconds;
    m_runEvent.set();  // a paused thread wakes, seeks and shows the target
}

void FrameSender::waitWhilePaused()
{
    // Looked at again after the reset: a Resume, SeekTo or stop that came
    // between the first look and the reset would be lost otherwise, and so
    // would a seek whose wake-up a Pause right after it took back.
    const auto mustWake = [this] { return !m_paused || m_seekRequest >= 0.0 || m_stopEvent.isSet(); };
    if (!mustWake())
        m_runEvent.reset();
    if (mustWake())
        m_runEvent.set();
    m_runEvent.wait();
}

bool FrameSender::Run(const Stream& stream)
{
    if (!stream.camera || !stream.sendFrame)
        return false;

    using Clock = std::chrono::steady_clock;
    constexpr auto kPreviewInterval = Clock::duration(std::chrono::seconds(1)) / 30;
    Clock::time_point windowStart = Clock::now();
    int windowCount = 0;
    Clock::time_point lastPreview = windowStart - kPreviewInterval;
    bool pausedBefore = false;  // the last pass was made while paused
    PictureRows source;  // the picture read, its rows converted as fitting and previewing ask

    for (;;) {
        if (m_stopEvent.isSet())
            return false;
        waitWhilePaused();
        if (m_stopEvent.isSet())
            return false;

        // While paused only a seek brings a frame: the one on screen at the
        // target, sent once; the stream stays paused.
        const bool paused = m_paused;
        const double seek = m_seekRequest.exchange(-1.0);
        const bool seeking = seek >= 0.0 && m_videoMode;
        if (paused && !seeking) {
            pausedBefore = true;
            continue;
        }
        if (seeking)
            m_videoDecoder->SeekTo(seek);
        bool jumped = seeking;  // the frame read next does not follow the last one sent
        if (!paused && std::exchange(pausedBefore, false)) {
            // The rate counts playing time only: measured afresh after a pause.
            windowStart = Clock::now();
            windowCount = 0;
        }

        if (m_videoMode) {
            std::shared_ptr<const Picture> picture = m_videoDecoder->ReadPicture();
            if (!picture) {
                // A read cut short by a stop is no end of the video.
                if (m_stopEvent.isSet())
                    return false;
                if (!m_loop)
                    return true;
                m_videoDecoder->SeekToStart();
                jumped = true;
                if (!(picture = m_videoDecoder->ReadPicture()))
                    return !m_stopEvent.isSet();
            }
            m_videoPosition = m_videoDecoder->m_position;
            m_videoDuration = m_videoDecoder->m_duration;
            source.setPicture(std::move(picture));
        } else {
            source.setPicture(m_stillImage);
        }

        const bool sent = send(stream, source);
        // After the camera, when the picture goes out: the preview shows the
        // rows the camera converted where it can.
        if (stream.frameCallback) {
            const Clock::time_point now = Clock::now();
            if (paused || now - lastPreview >= kPreviewInterval) {
                stream.frameCallback(source);
                lastPreview = now;
            }
        }
        if (!sent) {
            // Nothing this source gives can be sent: rather than spin, a video
            // ends as after a failed read and a still image waits for the stop.
            if (m_videoMode)
                return true;
            m_stopEvent.wait();
            return false;
        }
        if (m_videoMode && !paused)
            m_sound.FrameShown(m_videoPosition, Clock::now(), jumped);

        ++m_framesSent;
        if (paused) {
            pausedBefore = true;
            continue;
        }
        ++windowCount;
        const Clock::time_point now = Clock::now();
        const double elapsed = std::chrono::duration<double>(now - windowStart).count();
        if (elapsed >= 1.0) {
            m_measuredFps = windowCount / elapsed;
            windowCount = 0;
            windowStart = now;
        }
    }
}

bool FrameSender::send(const Stream& stream, PictureRows& source)
{
    const bool stretch = m_stretch;
    const bool mirror = m_mirror;
    if (!stream.drawFrame) {
        const uint8_t* frame = m_fitter.fit(source, stream.width, stream.height, stretch, mirror);
        if (frame)
            stream.sendFrame(stream.camera, frame);
        return frame != nullptr;
    }
    struct Fit {
        FrameFitter& fitter;
        PictureRows& source;
        const Stream& stream;
        bool stretch, mirror;
    } fit{m_fitter, source, stream, stretch, mirror};
    return stream.drawFrame(stream.camera, [](void* frame, void* user) {
        auto& f = *static_cast<Fit*>(user);
        return f.fitter.fitInto(f.source, static_cast<uint8_t*>(frame), f.stream.width, f.stream.height,
                                f.stretch, f.mirror);
    }, &fit);
}
