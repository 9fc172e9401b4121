// Loading, streaming, the status tick and seeking of the window, into the test
// camera library (tests/camera), whose camera thread can be held after each frame.
#include "window_under_test.h"

#include "fake_camera.h"
#include "support/frame_marks.h"
#include "support/test_media.h"

#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <chrono>
#include <thread>

namespace {

constexpr int kWaitMs = 20000;  // generous: sanitizers slow everything down


// 2 s at 25 frames a second, position n / 25 s at frame n. Wine stamps the B-frames of an
// MP4 two frames late (it ignores the edit list): there the same clip in Matroska.
const QString kClip = kWine ? QStringLiteral("bars_25.mkv") : QStringLiteral("bars_25.mp4");

// A blank, non-ASCII letters and, where the system allows one, a colon.
#ifdef _WIN32
const QString kUnusualClip = QStringLiteral("ein Bild ü/vidéo 日本.mp4");
#else
const QString kUnusualClip = QStringLiteral("ein Bild ü/clip: vidéo 日本.mp4");
#endif

// Small, so that Qt paints it without its worker threads (hidden from ThreadSanitizer).
bool showsPicture(QWidget* preview)
{
    preview->setFixedSize(40, 30);
    const QImage shot = preview->grab().toImage();
    return shot.pixel(shot.width() / 2, shot.height() / 2) != shot.pixel(0, 0);
}

// A press, a move to `value` and a release, as ClickableSlider emits them.
void dragSliderTo(ClickableSlider* slider, int value, bool release = true)
{
    slider->setSliderDown(true);
    slider->setValue(value);
    slider->setSliderDown(!release);
}

// A registered window at the clips' size (frame marks read back); ticks only from the test.
class WindowStreamThread : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fake.available());
        system.setState(Ours);
        window->install(system);
        window->m_statusTimer->stop();
        window->m_resolutionCombo->setEditText(QStringLiteral("160x120"));
    }
    void TearDown() override { fake->setStepping(false); }

    // Plays with the camera thread held after each frame; the first one's index.
    int playHeld()
    {
        fake->setStepping(true);
        const int sent = fake->framesSent();  // counted first: the thread may send at once
        window->onPlayPause();
        return frameAfter(sent);
    }
    // Lets the held thread send its next frame; that frame's index.
    int step()
    {
        const int sent = fake->framesSent();
        fake->step();
        return frameAfter(sent);
    }
    // The index of the frame sent after the first `sent`, or -1 unless it came at the
    // camera's size in the clip's colours.
    int frameAfter(int sent)
    {
        const std::vector<uint8_t> frame = fake->waitForFrames(sent + 1, kWaitMs) ? fake->lastFrame() : std::vector<uint8_t>();
        return frame.size() == 160 * 120 * 3 && frame_marks::barsPresent(frame.data(), 160, 120)
                   ? frame_marks::readFrameMark(frame.data(), 160, 120) : -1;
    }
    // Plays a clip's last frames with Loop off until the thread ends, handling no events.
    void playToEndUnwatched()
    {
        window->loadFile(testMedia(kClip));
        window->m_loopCheck->setChecked(false);
        window->m_seekSlider->setValue(960);
        window->onPlayPause();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (window->m_sender.m_running && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void tick(int count = 1) { while (count-- > 0) window->onTimerTick(); }
    // Positions are decoder time stamps: a slider value may be one off (under Wine, whose
    // first frame after a seek is stamped up to a frame late, 20 off).
    void expectShown(int slider, const char* time)
    {
        EXPECT_NEAR(window->m_seekSlider->value(), slider, kWine ? 20 : 1);
        EXPECT_EQ(window->m_timeLabel->text(), time);
    }

    FakeCameraHooks fake{loadLibraryFromSearchPath(kCameraLibraryName)};
    FakeSystem system;
    std::unique_ptr<WindowUnderTest> window = makeWindow();
};

} // namespace

// A failed load leaves nothing of the previous file behind and says so.
TEST(WindowMedia, LoadsWhatCanBeReadOnly)
{
#ifndef _WIN32
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.mp4"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif
    const struct {
        QString path;
        const char *status, *time;
    } cases[] = {
        {testMedia(kUnusualClip), "Video loaded. Press Play to stream.", "0:00 / 0:02"},
        {testMedia("pattern_3x2.png"), "Image loaded. Press Play to stream.", "Image"},
        {testMedia("not_media.mp4"), "Failed to open video.", "0:00 / 0:00"},
        {testMedia("cut_128x96.png"), "Failed to load image.", "0:00 / 0:00"},
        {testMedia("ein Bild ü"), "Failed to load image.", "0:00 / 0:00"},  // a folder
#ifndef _WIN32
        {fifo, "Failed to open video.", "0:00 / 0:00"},                 // would block an open
#endif
    };
    auto window = makeWindow();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        window->loadFile(testMedia("solid.jpg"));
        window->loadFile(c.path);
        const bool loaded = QByteArray(c.status).endsWith("stream.");
        EXPECT_EQ(window->m_statusLabel->text() + window->m_timeLabel->text(), QString(c.status) + c.time);
        EXPECT_EQ(window->m_currentFile, loaded ? c.path : QString());
        EXPECT_EQ(window->m_fileLabel->text(), loaded ? QFileInfo(c.path).fileName() : "No file selected");
        EXPECT_EQ(showsPicture(window->m_preview), loaded);
        EXPECT_EQ(window->m_stillPicture == nullptr, !loaded);
    }
    // Named at start or by a second start, relative to the current folder.
    const QString current = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ORVENNA_TEST_MEDIA_DIR));
    window->openFiles({QStringLiteral("pattern_3x2.png")});
    QDir::setCurrent(current);
    EXPECT_EQ(window->m_currentFile, testMedia("pattern_3x2.png"));
}

// Only a copy of a local file is taken.
TEST(WindowMedia, DropsCopyTheFirstLocalFile)
{
    const QUrl local = QUrl::fromLocalFile(testMedia("pattern_3x2.png"));
    const QUrl remote(QStringLiteral("https://example.org/clip.mp4"));
    const struct {
        QList<QUrl> urls;
        Qt::DropActions actions;
        bool taken;
    } cases[] = {
        {{local}, Qt::CopyAction | Qt::MoveAction, true}, {{remote, local, remote}, Qt::CopyAction, true},
        {{remote}, Qt::CopyAction, false},                 {{}, Qt::CopyAction, false},
        {{local}, Qt::MoveAction, false},
    };
    for (const auto& c : cases) {
        auto window = makeWindow();
        QMimeData data;
        data.setUrls(c.urls);
        QDragEnterEvent enter(QPoint(5, 5), c.actions, &data, Qt::LeftButton, Qt::NoModifier);
        window->dragEnterEvent(&enter);
        QDropEvent drop(QPointF(5, 5), c.actions, &data, Qt::LeftButton, Qt::NoModifier);
        window->dropEvent(&drop);
        EXPECT_EQ(enter.isAccepted(), c.taken);
        EXPECT_EQ(window->m_currentFile, c.taken ? local.toLocalFile() : QString());
        EXPECT_TRUE(!c.taken || (enter.dropAction() == Qt::CopyAction && drop.dropAction() == Qt::CopyAction));
    }
}

TEST(WindowMedia, ResolutionTextsAreBoundedOrFallBack)
{
    const struct {
        const char* text;
        int width, height;
        const char* shown;
    } cases[] = {
        {"1366x768", 1364, 768, "1366x768"}, {"10x10", 64, 64, "10x10"}, {"99999x99999", 7680, 7680, "99999x99999"},
        {"1280xx720", 1280, 720, "1280xx720"}, {" 1280 x 720 ", 1280, 720, " 1280 x 720 "},
        {"1280X720", 1280, 720, "1280x720"},   {"x720", 1280, 720, "1280x720"}, {"abc", 1280, 720, "1280x720"},
        {"", 1280, 720, "1280x720"},           {"99999999999x720", 1280, 720, "1280x720"}};
    auto window = makeWindow();
    for (const auto& c : cases) {
        window->m_resolutionCombo->setEditText(QString::fromLatin1(c.text));
        int width = 0, height = 0;
        window->getSelectedResolution(width, height);
        EXPECT_EQ(std::pair(width, height), std::pair(c.width, c.height)) << c.text;
        EXPECT_EQ(window->m_resolutionCombo->currentText(), c.shown);
    }
}

TEST_F(WindowStreamThread, StatusTickFollowsTheStreamAndItsSeeks)
{
    QSystemTrayIcon* tray = window->m_trayIcon;
    window->loadFile(testMedia(kClip));
    ASSERT_EQ(playHeld(), 0);
    EXPECT_EQ(window->m_statusLabel->text(), "Streaming...");
    tick();
    expectShown(0, "0:00 / 0:02");
    // The clip's own rate until measured (Wine's Media Foundation reads every rate as 30).
    EXPECT_EQ(window->m_statusLabel->text(), QString("Playing  |  %1 fps  |  160x120").arg(kWine ? "30.0" : "25.0"));
    EXPECT_EQ(window->m_connectionLabel->text() + " | " + tray->toolTip(), "Waiting for app... | Orvenna - Streaming");
    fake->setConnected(true);
    tick();
    EXPECT_EQ(window->m_connectionLabel->text() + " | " + tray->toolTip(), "Connected | Orvenna - Connected");
    const qint64 trayIcon = tray->icon().cacheKey();
    tick();
    EXPECT_EQ(tray->icon().cacheKey(), trayIcon);  // not set again

    dragSliderTo(window->m_seekSlider, 750);  // forward: held on the target until the thread gets there
    tick();
    expectShown(750, "0:01 / 0:02");
    EXPECT_EQ(step(), 37);
    tick();
    expectShown(740, "0:01 / 0:02");
    EXPECT_LT(window->m_pendingSeek, 0.0);

    dragSliderTo(window->m_seekSlider, 100);  // backward: the old position until the jump
    tick();
    expectShown(740, "0:01 / 0:02");
    EXPECT_EQ(step(), 5);

    dragSliderTo(window->m_seekSlider, 900, false);  // the hand wins over the tick, the label follows both
    EXPECT_EQ(window->m_timeLabel->text(), "0:01 / 0:02");
    tick();
    expectShown(900, "0:00 / 0:02");
    window->m_seekSlider->setSliderDown(false);

    // The thread stays held, so the target 1.8 s is never reached: paused
    // ticks wait for it, two seconds of playing ones give it up.
    window->onPlayPause();
    tick(20);
    EXPECT_TRUE(window->m_statusLabel->text().startsWith("Paused  |  "));
    window->onPlayPause();
    tick(9);
    expectShown(900, "0:01 / 0:02");
    tick();
    expectShown(100, "0:00 / 0:02");

    // Paused, a seek back, forward or to the end lands at once and the ticks keep the target;
    // Resume goes on from there (the loop rewinds).
    window->onPlayPause();
    EXPECT_EQ(step(), 45);  // the seek above, taken while paused
    const struct {
        int slider, frame;
        const char* time;
    } pausedSeeks[] = {{100, 5, "0:00 / 0:02"}, {750, 37, "0:01 / 0:02"}, {1000, 49, "0:02 / 0:02"}};
    for (const auto& c : pausedSeeks) {
        dragSliderTo(window->m_seekSlider, c.slider);
        tick();
        expectShown(c.slider, c.time);
        EXPECT_EQ(step(), c.frame);
        tick();
        expectShown(c.slider, c.time);
    }
    window->onPlayPause();
    EXPECT_EQ(step(), 0);
    tick();
    expectShown(0, "0:00 / 0:02");

    EXPECT_EQ(step(), 1);
    window->m_sender.m_videoDuration = 1e-300;  // clamped, not cast out of range
    tick();
    EXPECT_EQ(window->m_seekSlider->value(), 1000);
}

TEST_F(WindowStreamThread, ReleaseWhileStoppedSetsWhereTheNextPlayStarts)
{
    window->loadFile(testMedia(kClip));
    dragSliderTo(window->m_seekSlider, 500);
    EXPECT_EQ(window->m_timeLabel->text(), "0:01 / 0:02");
    EXPECT_EQ(playHeld(), 25);  // sought before the first frame
    // The decoder stays open across Stop, which puts the slider back at 0.
    fake->setStepping(false);
    window->onStop();
    EXPECT_EQ(playHeld(), 0);
}

TEST_F(WindowStreamThread, EndWithoutLoopStopsAndALateEndIsIgnored)
{
    playToEndUnwatched();
    QTRY_COMPARE_WITH_TIMEOUT(window->m_statusLabel->text(), QStringLiteral("Playback finished."), kWaitMs);
    EXPECT_TRUE(!window->m_stopButton->isEnabled() && window->m_resolutionCombo->isEnabled());
    EXPECT_EQ(window->m_seekSlider->value(), 0);

    // Play again before the end's report is handled: the report is stale.
    playToEndUnwatched();
    window->m_loopCheck->setChecked(true);
    window->onPlayPause();
    QCoreApplication::sendPostedEvents(window.get());
    EXPECT_TRUE(window->m_statusLabel->text() == "Streaming..." && window->m_sender.m_running);
}

TEST_F(WindowStreamThread, PlayNeedsAFileAndACameraAndStopsWhilePaused)
{
    window->onPlayPause();
    EXPECT_EQ(window->m_statusLabel->text(), "Open a file first.");
    window->loadFile(testMedia("pattern_3x2.png"));
    window->install(FakeSystem());
    window->onPlayPause();
    EXPECT_EQ(window->m_statusLabel->text(), "Register the camera first.");
    window->install(system);
    window->onPlayPause();
    window->onPlayPause();
    tick();  // an image keeps its label
    EXPECT_EQ(window->m_timeLabel->text(), "Image");
    window->onStop();
    EXPECT_EQ(window->m_statusLabel->text(), "Stopped.");
    EXPECT_FALSE(window->m_sender.m_running || window->m_stopButton->isEnabled());
    EXPECT_TRUE(window->m_connectionLabel->text().isEmpty() && showsPicture(window->m_preview));
}

// A release that never comes (hidden or disabled slider) must not keep the ticks from moving it.
TEST(WindowMedia, DragEndsWhenTheSliderHidesOrIsDisabled)
{
    auto window = makeWindow();
    window->loadFile(testMedia(kClip));
    window->show();
    for (auto cutOff : {+[](WindowUnderTest* w) { w->hide(); }, +[](WindowUnderTest* w) { w->unloadMedia(); }}) {
        dragSliderTo(window->m_seekSlider, 300, false);
        ASSERT_TRUE(window->m_sliderDragging);
        cutOff(window.get());
        EXPECT_FALSE(window->m_sliderDragging);
    }
}
