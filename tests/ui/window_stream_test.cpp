// The window streams clips into the real camera library in the private PipeWire session, read by
// pipewiresrc; each clip frame carries its index (support/frame_marks.h) for the client to check.
#include "gst_consumer.h"
#include "support/frame_marks.h"
#include "window_under_test.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace std::chrono_literals;

namespace {

template <typename Done>
bool processEventsUntil(Done done, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return done();
}

QString clip(const char* name)
{
    return QStringLiteral(ORVENNA_TEST_MEDIA_DIR "/") + QLatin1String(name);
}

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
    bool connectionReads(const char* text, std::chrono::milliseconds limit)
    {
        return processEventsUntil([&] { return window.m_connectionLabel->text() == QLatin1String(text); }, limit);
    }
    QString status() const { return window.m_statusLabel->text(); }

    WindowUnderTest window;
};

// bars_25.mp4 (160 x 120, 50 frames, looped) at two camera sizes, each seen
// plain and then with the live switches changed.
TEST_F(WindowStream, TheClientReceivesTheClipFittedStretchedOrMirroredAsTheWindowSays)
{
    constexpr int kClipFrames = 50;
    struct View { bool stretch, mirror; QSize fitted; };  // fitted: where the clip lies in the camera frame
    const struct { QSize camera; View views[2]; } kSizes[] = {
        {{640, 480}, {{false, false, {640, 480}}, {false, true, {640, 480}}}},
        {{1280, 720}, {{false, false, {960, 720}}, {true, true, {1280, 720}}}}};

    window.loadFile(clip("bars_25.mp4"));
    for (const auto& size : kSizes) {
        const QSize camera = size.camera;
        SCOPED_TRACE(testing::Message() << camera.width() << "x" << camera.height());
        window.m_resolutionCombo->setCurrentText(QStringLiteral("%1x%2").arg(camera.width()).arg(camera.height()));
        window.m_stretchCheck->setChecked(false);
        window.m_mirrorCheck->setChecked(false);
        window.onPlayPause();
        ASSERT_TRUE(window.m_sender.m_running);
        EXPECT_TRUE(connectionReads("Waiting for app...", 1s));

        GstConsumer consumer(QStringLiteral("BGR"), qsizetype(camera.width()) * camera.height() * 3);
        ASSERT_TRUE(processEventsUntil([&] { return consumer.hasFrame(); }, 20s)) << "no frame arrived";
        // The client is connected before its first buffer arrives.
        EXPECT_TRUE(connectionReads("Connected", 200ms));

        for (const View& view : size.views) {
            SCOPED_TRACE(testing::Message() << "stretch " << view.stretch << ", mirror " << view.mirror);
            window.m_stretchCheck->setChecked(view.stretch);
            window.m_mirrorCheck->setChecked(view.mirror);
            // Frames already on their way show the previous switches.
            QByteArray frame;
            int mark = -1;
            for (int i = 0; i < 10 && mark < 0; ++i) {
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
            // The colours follow the clip: the next frame is the clip's next.
            ASSERT_TRUE(consumer.nextFrame(frame));
            EXPECT_EQ(markOf(frame, camera, view.fitted, view.mirror), (mark + 1) % kClipFrames);
        }

        consumer.stop();
        EXPECT_TRUE(connectionReads("Waiting for app...", 2s));
        window.onStop();
    }
}

// A clip of 300 frames, not looped, reaches the client whole and in order
// after a pause that held the picture.
TEST_F(WindowStream, AfterAPauseThatHoldsThePictureAClipWithoutLoopArrivesWholeAndInOrder)
{
    constexpr int kClipFrames = 300;
    constexpr QSize kCamera(160, 120);
    window.loadFile(clip("count_300.mp4"));
    window.m_resolutionCombo->setCurrentText(QStringLiteral("160x120"));
    window.onPlayPause();
    GstConsumer consumer(QStringLiteral("BGR"), qsizetype(kCamera.width()) * kCamera.height() * 3);
    ASSERT_TRUE(processEventsUntil([&] { return consumer.hasFrame(); }, 20s)) << "no frame arrived";

    std::vector<int> marks;
    const auto receive = [&](std::size_t upTo, std::chrono::milliseconds wait) {
        QByteArray frame;
        while (marks.size() < upTo && consumer.nextFrame(frame, wait))
            marks.push_back(markOf(frame, kCamera, kCamera, false));
    };
    constexpr std::size_t kAll = std::size_t(-1);
    window.onPlayPause();
    EXPECT_EQ(status(), QStringLiteral("Paused."));
    // What was on its way arrives within two status ticks; after that, nothing.
    QSignalSpy ticks(window.m_statusTimer, &QTimer::timeout);
    EXPECT_TRUE(ticks.wait(1000) && ticks.wait(1000));
    receive(kAll, 0ms);
    EXPECT_TRUE(ticks.wait(1000));
    marks.clear();
    receive(kAll, 0ms);
    EXPECT_TRUE(marks.empty()) << marks.size() << " frames arrived while paused";

    // Paused, a seek to the start shows the first frame at once; from there, now to the end.
    window.m_loopCheck->setChecked(false);
    marks.clear();
    window.m_sender.SeekTo(0.0);
    receive(1, 20s);
    window.onPlayPause();
    receive(kClipFrames, 20s);
    EXPECT_TRUE(processEventsUntil([&] { return status() == QStringLiteral("Playback finished."); }, 5s));
    receive(kAll, 0ms);

    // Marks count modulo 256.
    ASSERT_EQ(marks.size(), std::size_t(kClipFrames));
    int outOfPlace = 0;
    for (int i = 0; i < kClipFrames; ++i)
        outOfPlace += marks[i] != i % 256;
    EXPECT_EQ(outOfPlace, 0);
}

} // namespace
