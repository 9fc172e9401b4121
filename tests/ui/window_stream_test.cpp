// The window streams clips into the real camera library in the private PipeWire session, read by
// pipewiresrc; each clip frame carries its index (support/frame_marks.h) for the client to check.
#include "gst_consumer.h"
#include "support/frame_marks.h"
#include "window_under_test.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The frame index of the clip's picture in a BGR camera frame, read in the `fitted`
// rectangle in its middle, mirrored back when `mirrored`; -1 where the bars are not.
int markOf(const QByteArray& frame, QSize camera, QSize fitted, bool mirrored)
{
    const QImage image(reinterpret_cast<const uchar*>(frame.constData()), camera.width(), camera.height(),
                       camera.width() * 3, QImage::Format_BGR888);
    const QPoint corner((camera.width() - fitted.width()) / 2, (camera.height() - fitted.height()) / 2);
    const QImage picture = image.copy(QRect(corner, fitted)).mirrored(mirrored, false);
    std::vector<uint8_t> packed;  // rows without padding
    for (int y = 0; y < picture.height(); ++y)
        packed.insert(packed.end(), picture.constScanLine(y), picture.constScanLine(y) + fitted.width() * 3);
    const int w = fitted.width(), h = fitted.height();
    return frame_marks::barsPresent(packed.data(), w, h) ? frame_marks::readFrameMark(packed.data(), w, h) : -1;
}

class WindowStream : public PipeWireTest {
protected:
    void SetUp() override { PipeWireTest::SetUp(); window.show(); }

    // Whether the connection label reads `text` within `limit`.
    bool connectionReads(const char* text)
    {
        return QTest::qWaitFor([&] { return window.m_connectionLabel->text() == QLatin1String(text); }, kEventWaitMs);
    }
    // The connection label as the next status tick leaves it.
    QString connectionAfterTick()
    {
        QSignalSpy tick(window.m_statusTimer, &QTimer::timeout);
        return tick.wait(kEventWaitMs) ? window.m_connectionLabel->text()
                                                                             : QStringLiteral("no tick");
    }
    QString status() const { return window.m_statusLabel->text(); }

    // What a loaded machine may take for something that happens at once when idle.
    static constexpr int kEventWaitMs = 20000;
    WindowUnderTest window;
};

// bars_25.mp4 (160 x 120, 50 frames, looped) at two camera sizes, each seen
// plain and then with the live switches changed.
TEST_F(WindowStream, TheClientReceivesTheClipFittedStretchedOrMirroredAsTheWindowSays)
{
    struct View { bool stretch, mirror; QSize fitted; };  // fitted: where the clip lies in the camera frame
    const struct { QSize camera; View views[2]; } kSizes[] = {
        {{640, 480}, {{false, false, {640, 480}}, {false, true, {640, 480}}}},
        {{1280, 720}, {{false, false, {960, 720}}, {true, true, {1280, 720}}}}};

    window.loadFile(testMedia("bars_25.mp4"));
    for (const auto& size : kSizes) {
        const QSize camera = size.camera;
        SCOPED_TRACE(testing::Message() << camera.width() << "x" << camera.height());
        window.m_resolutionCombo->setCurrentText(QStringLiteral("%1x%2").arg(camera.width()).arg(camera.height()));
        window.m_stretchCheck->setChecked(false);
        window.m_mirrorCheck->setChecked(false);
        window.onPlayPause();
        ASSERT_TRUE(window.m_sender.m_running);
        EXPECT_EQ(connectionAfterTick(), QStringLiteral("Waiting for app..."));

        GstConsumer consumer(QStringLiteral("BGR"), qsizetype(camera.width()) * camera.height() * 3);
        ASSERT_TRUE(QTest::qWaitFor([&] { return consumer.hasFrame(); }, kEventWaitMs)) << "no frame arrived";
        // The client is connected before its first buffer arrives.
        EXPECT_EQ(connectionAfterTick(), QStringLiteral("Connected"));

        for (const View& view : size.views) {
            SCOPED_TRACE(testing::Message() << "stretch " << view.stretch << ", mirror " << view.mirror);
            window.m_stretchCheck->setChecked(view.stretch);
            window.m_mirrorCheck->setChecked(view.mirror);
            // Frames already on their way show the previous switches.
            QByteArray frame;
            int mark = -1;
            for (int i = 0; i < 20 && mark < 0; ++i) {
                ASSERT_TRUE(consumer.nextFrame(frame));
                mark = markOf(frame, camera, view.fitted, view.mirror);
            }
            ASSERT_GE(mark, 0) << "the clip never showed as expected";
            if (view.mirror) {
                EXPECT_LT(markOf(frame, camera, view.fitted, false), 0);
            }
            if (view.fitted != camera) {  // letterboxed: black beside the picture
                const auto* margin = reinterpret_cast<const uint8_t*>(frame.constData()) +
                                     (std::size_t(camera.height() / 2) * camera.width() + 4) * 3;
                EXPECT_LT(margin[0] + margin[1] + margin[2], 30);
            }
            // The colours follow the clip: the next frame shows a later picture (a busy
            // machine may drop some; the camera sends the newest).
            ASSERT_TRUE(consumer.nextFrame(frame));
            const int next = markOf(frame, camera, view.fitted, view.mirror);
            EXPECT_TRUE(next >= 0 && next != mark) << mark << " then " << next;
        }

        consumer.stop();
        EXPECT_TRUE(connectionReads("Waiting for app..."));
        window.onStop();
    }
}

// count_300.mp4 (160 x 120, 30 frames a second) paused in its middle holds the picture; a
// client that comes while it is held receives, after Play from the start without loop, the
// clip in order to its end. A busy machine may drop frames: the camera sends the newest.
TEST_F(WindowStream, APauseHoldsThePictureAndAClipWithoutLoopThenArrivesInOrderToItsEnd)
{
    constexpr int kClipFrames = 300;
    constexpr int kPausedFrom = 150;  // frame index, at 5 s
    constexpr QSize kCamera(160, 120);
    constexpr qsizetype kFrameBytes = qsizetype(kCamera.width()) * kCamera.height() * 3;
    window.loadFile(testMedia("count_300.mp4"));
    window.m_resolutionCombo->setCurrentText(QStringLiteral("160x120"));
    window.onPlayPause();
    {
        GstConsumer consumer(QStringLiteral("BGR"), kFrameBytes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return consumer.hasFrame(); }, kEventWaitMs)) << "no frame arrived";
        window.m_sender.SeekTo(kPausedFrom / 30.0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.m_sender.m_videoPosition >= kPausedFrom / 30.0; }, kEventWaitMs));
        window.onPlayPause();
        EXPECT_EQ(status(), QStringLiteral("Paused."));
        // The frame being read when the pause came may still be finished; nothing after it.
        QSignalSpy ticks(window.m_statusTimer, &QTimer::timeout);
        std::set<double> positions{window.m_sender.m_videoPosition};
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(ticks.wait(kEventWaitMs));
            positions.insert(window.m_sender.m_videoPosition);
        }
        EXPECT_LE(positions.size(), 2u) << "the picture moved on while paused";
    }
    EXPECT_TRUE(connectionReads("Waiting for app..."));
    GstConsumer consumer(QStringLiteral("BGR"), kFrameBytes);
    ASSERT_TRUE(connectionReads("Connected"));

    // Paused, a seek to the start sends the first frame at once; Resume plays on from there.
    window.m_loopCheck->setChecked(false);
    window.m_sender.SeekTo(0.0);
    QByteArray shown;
    ASSERT_TRUE(consumer.nextFrame(shown)) << "a seek while paused sent nothing";
    EXPECT_EQ(markOf(shown, kCamera, kCamera, false), 0);
    window.onPlayPause();
    // Marks count modulo 256: one wrap on the way, none backwards.
    std::vector<int> indices;
    int wraps = 0;
    QByteArray frame;
    while ((indices.empty() || indices.back() < kClipFrames - 1) && consumer.nextFrame(frame)) {
        const int mark = markOf(frame, kCamera, kCamera, false);
        ASSERT_GE(mark, 0) << "after frame " << (indices.empty() ? -1 : indices.back());
        if (!indices.empty() && mark + 256 * wraps <= indices.back())
            ++wraps;
        indices.push_back(mark + 256 * wraps);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == QStringLiteral("Playback finished."); }, kEventWaitMs));

    ASSERT_FALSE(indices.empty());
    EXPECT_LT(indices.front(), kPausedFrom) << "the held picture was sent, or the clip did not start over";
    EXPECT_LE(wraps, 1) << "out of order";
    EXPECT_GE(indices.back(), 256) << "the clip did not play to its end";
    EXPECT_LT(indices.back(), kClipFrames);
}

} // namespace
