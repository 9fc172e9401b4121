#pragma once

#include "gst_consumer.h"
#include "support/frame_marks.h"
#include "support/sound_marks.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

// The microphone's node in the PipeWire graph.
inline const QString kMicrophoneNode = QStringLiteral("orvenna-microphone");

// How far apart a clip's pictures and sounds reach a program: the camera and
// the microphone read by pipewiresrc (consumers we did not write), each in a
// process of its own, while this notes when each piece arrives.
//
// On a busy machine any piece may come late, never early; and within one
// stretch of steady playing, picture N of the clip and the tone's step into
// frame N are due at a fixed time plus N / fps. So each stream's start of that
// stretch is the smallest arrival minus N / fps over its pieces: the pieces
// that came late drop out, and a few that came at once suffice. Sound is timed
// by the chunk that carried it, never by counting samples over a stretch,
// which a dropout in the graph would throw off.
class AvProbe {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kRate = 48000;

    // Reads pictures of `width` x `height` and the microphone's sound.
    AvProbe(int width, int height, double fps) : m_frameBytes(qsizetype(width) * height * 3), m_width(width),
        m_height(height), m_fps(fps)
    {
        start(m_video, QStringLiteral("pipewiresrc target-object=%1 ! video/x-raw,format=BGR").arg(kCameraNode),
              [this] { takePictures(); });
        start(m_audio, QStringLiteral("pipewiresrc target-object=%1 ! audio/x-raw,format=F32LE,rate=48000,channels=2")
                           .arg(kMicrophoneNode), [this] { takeSound(); });
    }
    ~AvProbe()
    {
        for (QProcess* p : {&m_video, &m_audio}) {
            p->disconnect();
            p->kill();
            p->waitForFinished(5000);
        }
    }

    static double now() { return std::chrono::duration<double>(Clock::now().time_since_epoch()).count(); }

    // Runs the event loop until `done`; false when `limit` passes first.
    template <typename Done>
    static bool waitUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        const QDeadlineTimer deadline(limit);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        return done();
    }

    struct Picture {
        double at;  // arrival, seconds on the steady clock
        int mark;   // the clip's frame index (frame_marks.h)
    };
    const std::vector<Picture>& pictures() const { return m_pictures; }

    // A stretch of steady playing: the pictures from the first one at or after
    // `from` until the clip jumps (its frame index falls, or leaps ahead by
    // more than a reader that fell behind may miss), without the first
    // `settle` seconds, when sound from before a jump may still be on its way.
    struct Stretch {
        double from, to;
        std::vector<Picture> pictures;
    };
    Stretch stretchAfter(double from, double settle = 0.3) const
    {
        Stretch s{from, from, {}};
        std::optional<int> last;
        for (const Picture& p : m_pictures) {
            if (p.at < from || p.mark < 0)
                continue;
            if (last && (p.mark <= *last || p.mark > *last + 25))
                break;
            if (!last)
                s.from = p.at + settle;
            last = p.mark;
            s.to = p.at;
            if (p.at >= s.from)
                s.pictures.push_back(p);
        }
        return s;
    }

    // Each frame start found in the sound: when it arrived, and the clip
    // frame's step (sound_marks.h).
    struct Heard {
        double at;
        int step;
    };
    std::vector<Heard> heard(double from, double to) const
    {
        std::vector<Heard> result;
        for (const sound_marks::Boundary& b : sound_marks::findBoundaries(m_sound.data(), m_sound.size() / 2, 2, kRate)) {
            const double position = b.position + double(m_soundStart);
            const auto chunk = std::upper_bound(m_chunks.begin(), m_chunks.end(), position,
                [](double p, const Chunk& c) { return p < double(c.first); }) - 1;
            const double at = chunk->at + (position - double(chunk->first)) / kRate;
            if (at >= from && at <= to)
                result.push_back({at, b.step});
        }
        return result;
    }

    struct Offset {
        double seconds = std::numeric_limits<double>::quiet_NaN();  // sound minus picture
        int pictures = 0;
        int sounds = 0;
    };
    // How much later the sound of the stretch arrives than its pictures.
    // Sounds more than 1.5 frames off their picture are not counted: past
    // that they cannot be told from another frame's sound; too few left
    // counted shows as a result with few sounds.
    Offset offset(const Stretch& s) const
    {
        Offset result;
        double picturesStart = std::numeric_limits<double>::infinity();
        for (const Picture& p : s.pictures)
            picturesStart = std::min(picturesStart, p.at - p.mark / m_fps);
        result.pictures = int(s.pictures.size());
        double soundStart = std::numeric_limits<double>::infinity();
        for (const Heard& h : heard(s.from, s.to)) {
            const double frames = (h.at - picturesStart) * m_fps;
            const double frame = frames + std::remainder(h.step - frames, double(sound_marks::kSteps));
            if (std::abs(frames - frame) > 1.5)
                continue;
            soundStart = std::min(soundStart, h.at - frame / m_fps);
            ++result.sounds;
        }
        result.seconds = soundStart - picturesStart;
        return result;
    }

    // Sound frames that arrived after `from`, and whether all were silent.
    std::pair<std::size_t, bool> soundSince(double from) const
    {
        const auto chunk = std::find_if(m_chunks.begin(), m_chunks.end(), [from](const Chunk& c) { return c.at >= from; });
        if (chunk == m_chunks.end())
            return {0, true};
        const auto begin = m_sound.begin() + std::ptrdiff_t((chunk->first - m_soundStart) * 2);
        return {std::size_t(m_sound.end() - begin) / 2,
                std::all_of(begin, m_sound.end(), [](float x) { return std::abs(x) < 1e-6f; })};
    }

    // Forgets what arrived before `before`, for long runs.
    void forgetBefore(double before)
    {
        std::erase_if(m_pictures, [before](const Picture& p) { return p.at < before; });
        const auto kept = std::find_if(m_chunks.begin(), m_chunks.end(), [before](const Chunk& c) { return c.at >= before; });
        const std::int64_t start = kept == m_chunks.end() ? m_soundStart + std::int64_t(m_sound.size() / 2) : kept->first;
        m_sound.erase(m_sound.begin(), m_sound.begin() + std::ptrdiff_t((start - m_soundStart) * 2));
        m_chunks.erase(m_chunks.begin(), kept);
        m_soundStart = start;
    }

private:
    struct Chunk {
        double at;            // arrival
        std::int64_t first;   // its first sound frame
    };

    template <typename Take>
    void start(QProcess& process, const QString& source, Take take)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, take);
        process.start(QStringLiteral("gst-launch-1.0"), ("-q " + source + " ! fdsink fd=1").split(u' '));
    }

    void takePictures()
    {
        m_pending += m_video.readAllStandardOutput();
        const double at = now();
        for (; m_pending.size() >= m_frameBytes; m_pending.remove(0, m_frameBytes))
            m_pictures.push_back({at, frame_marks::readFrameMark(reinterpret_cast<const uint8_t*>(m_pending.constData()),
                                                                 m_width, m_height)});
    }

    void takeSound()
    {
        m_soundPending += m_audio.readAllStandardOutput();
        const qsizetype whole = m_soundPending.size() / 8 * 8;  // stereo frames of two floats
        m_chunks.push_back({now(), m_soundStart + std::int64_t(m_sound.size() / 2)});
        const auto* samples = reinterpret_cast<const float*>(m_soundPending.constData());
        m_sound.insert(m_sound.end(), samples, samples + whole / qsizetype(sizeof(float)));
        m_soundPending.remove(0, whole);
    }

    QProcess m_video;
    QProcess m_audio;
    QByteArray m_pending;
    QByteArray m_soundPending;
    qsizetype m_frameBytes;
    int m_width, m_height;
    double m_fps;
    std::vector<Picture> m_pictures;
    std::vector<Chunk> m_chunks;
    std::vector<float> m_sound;     // interleaved stereo, as it came
    std::int64_t m_soundStart = 0;  // frames forgotten before m_sound
};
