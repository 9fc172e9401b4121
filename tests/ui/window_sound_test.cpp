// The window streams tone_steps.mkv into the real camera library in the private PipeWire
// session with "Send sound as a microphone" on; pipewiresrc reads the camera and the
// microphone, and the probe finds each frame's start in both (av_probe.h).
#include "av_probe.h"
#include "window_under_test.h"

#include <QJsonObject>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>

using namespace std::chrono_literals;

namespace {

constexpr double kFps = 25.0;  // tone_steps.mkv: 100 frames, its sound steps with each
constexpr double kBound = 0.040;

class WindowSound : public PipeWireTest {
protected:
    void SetUp() override
    {
        PipeWireTest::SetUp();
        window.m_resolutionCombo->setCurrentText(QStringLiteral("160x120"));
        window.show();
    }
    // Plays `file` with the setting as given.
    void play(const char* file, bool sendSound)
    {
        window.m_sendSoundAction->setChecked(sendSound);
        window.loadFile(testMedia(file));
        window.onPlayPause();
        ASSERT_TRUE(window.m_sender.m_running);
    }

    WindowUnderTest window;
};

// When the picture and the sound of each stretch reach the consumers, from the first
// stretch on and after each jump: a seek, the loop, a pause (silence) and Resume.
TEST_F(WindowSound, PictureAndSoundArriveTogetherAfterSeeksLoopsAndPauses)
{
    play("tone_steps.mkv", true);
    const QJsonObject microphone = waitForNode(kMicrophoneNode, 20s);
    ASSERT_FALSE(microphone.isEmpty()) << "no microphone";
    EXPECT_EQ(microphone[u"info"][u"props"][u"media.class"].toString(), u"Audio/Source");
    EXPECT_EQ(microphone[u"info"][u"props"][u"node.description"].toString(), u"Orvenna Microphone");
    EXPECT_FALSE(waitForNode(kCameraNode, 0ms).isEmpty()) << "a microphone without the camera";
    // Connected after the stream began: the first stretch also shows that a late
    // reader gets the sound of the picture shown then, not what was sent before.
    AvProbe probe(160, 120, kFps);
    const auto arrivalOf = [&](auto isWanted, double after) {
        double at = -1.0;
        AvProbe::waitUntil([&] {
            for (const AvProbe::Picture& p : probe.pictures())
                if (p.at >= after && isWanted(p.mark))
                    return (at = p.at) >= 0.0;
            return false;
        });
        return at;
    };
    // A stretch of at least a second from `from` on.
    const auto check = [&](const char* when, double from) {
        ASSERT_GE(from, 0.0) << when << ": the picture never showed there";
        ASSERT_TRUE(AvProbe::waitUntil([&] { return probe.stretchAfter(from).pictures.size() >= 25; }));
        const AvProbe::Offset offset = probe.offset(probe.stretchAfter(from));
        std::printf("%s: sound %+.1f ms after the picture (%d pictures, %d frame starts heard)\n", when,
                    offset.seconds * 1000.0, offset.pictures, offset.sounds);
        EXPECT_GE(offset.sounds, 10) << when;
        EXPECT_LT(std::abs(offset.seconds), kBound) << when;
    };

    check("start", arrivalOf([](int mark) { return mark >= 0; }, 0.0));

    // Well away from where the picture is, and on to the loop from there.
    const double target = window.m_sender.m_videoPosition < 2.0 ? 2.6 : 0.6;
    const int targetFrame = int(target * kFps);
    window.m_sender.SeekTo(target);
    const double seek = arrivalOf([&](int mark) { return std::abs(mark - targetFrame) <= 1; }, AvProbe::now());
    check("after a seek", seek);

    const double end = arrivalOf([](int mark) { return mark >= 97; }, seek);
    check("across the loop", arrivalOf([](int mark) { return mark <= 2; }, end));

    // Paused, the sound stops with the picture: no tone of a frame two past the last
    // picture is heard, and then only silence comes.
    window.onPlayPause();
    const double paused = AvProbe::now();
    QSignalSpy ticks(window.m_statusTimer, &QTimer::timeout);
    ASSERT_TRUE(AvProbe::waitUntil([&] { return ticks.size() >= 2; }));
    const double still = AvProbe::now();
    ASSERT_TRUE(AvProbe::waitUntil([&] { return ticks.size() >= 4; }));
    const int last = probe.pictures().back().mark;
    for (const AvProbe::Heard& h : probe.heard(paused, AvProbe::now()))
        EXPECT_LE((h.step - last + sound_marks::kSteps) % sound_marks::kSteps, 2) << "the sound went on";
    const auto [heard, silent] = probe.soundSince(still);
    EXPECT_GT(heard, 0u) << "nothing came from the microphone while paused";
    EXPECT_TRUE(silent) << "sound while paused";

    window.onPlayPause();
    check("after Resume", arrivalOf([](int mark) { return mark >= 0; }, AvProbe::now()));
}

// No sound is asked for, or there is none: no microphone, the picture as always. A
// damaged sound track leaves a microphone and the picture plays on to the clip's end.
TEST_F(WindowSound, NoMicrophoneWithoutSoundAndThePictureWhateverTheSound)
{
    using State = SoundSender::State;
    const struct { const char* file; bool sendSound; State state; } cases[] = {
        {"tone_steps.mkv", false, State::Off},
        {"bars_25.mp4", true, State::NoSound},  // no sound track
        {"solid.jpg", true, State::Off},
        {"damaged_sound.mkv", true, State::Sending},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        play(c.file, c.sendSound);
        GstConsumer camera(QStringLiteral("BGR"), 160 * 120 * 3);
        QByteArray frame;
        ASSERT_TRUE(camera.nextFrame(frame));
        ASSERT_TRUE(AvProbe::waitUntil([&] { return window.m_sender.SoundState() == c.state; }));
        EXPECT_EQ(waitForNode(kMicrophoneNode, 0ms).isEmpty(), c.state != State::Sending);
        if (c.state == State::Sending) {
            int mark = -1;
            while (mark < 95 && camera.nextFrame(frame))
                mark = frame_marks::readFrameMark(reinterpret_cast<const uint8_t*>(frame.constData()), 160, 120);
            EXPECT_GE(mark, 95) << "the picture stopped beside the damaged sound";
        }
        window.onStop();
    }
}

// Last: the daemon is killed and started again under the stream. Then each way a
// stream ends takes the microphone with it, quitting last.
TEST_F(WindowSound, TheMicrophoneReturnsAfterTheDaemonRestartsAndGoesWithTheStream)
{
    play("tone_steps.mkv", true);
    ASSERT_FALSE(waitForNode(kMicrophoneNode, 20s).isEmpty());
    ASSERT_EQ(QProcess::execute(QStringLiteral(PIPEWIRE_SESSION_SCRIPT),
                                {QStringLiteral("restart"), qEnvironmentVariable("XDG_RUNTIME_DIR")}), 0);
    ASSERT_FALSE(waitForNode(kMicrophoneNode, 20s).isEmpty()) << "the microphone did not come back";
    {
        AvProbe probe(160, 120, kFps);
        EXPECT_TRUE(AvProbe::waitUntil([&] {
            const auto [heard, silent] = probe.soundSince(0.0);
            return heard > 0 && !silent;
        })) << "no sound after the restart";
    }
    const std::pair<const char*, std::function<void()>> ends[] = {
        {"Stop", [&] { window.onStop(); }},
        {"Close media", [&] { window.m_closeMediaAction->trigger(); }},
        {"a failed load", [&] { window.loadFile(testMedia("not_media.mp4")); }},
        {"quit", [&] { window.onQuit(); }},
    };
    for (const auto& [how, end] : ends) {
        SCOPED_TRACE(how);
        if (window.m_sender.SoundState() != SoundSender::State::Sending) {
            play("tone_steps.mkv", true);
            ASSERT_FALSE(waitForNode(kMicrophoneNode, 20s).isEmpty());
        }
        end();
        ASSERT_TRUE(AvProbe::waitUntil([&] { return window.m_sender.SoundState() == SoundSender::State::Off; }));
        EXPECT_TRUE(waitForNode(kMicrophoneNode, 20s, false).isEmpty()) << "the microphone stayed";
    }
}

} // namespace
