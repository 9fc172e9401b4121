// Loading on the loading thread: the window answers meanwhile, Play waits for
// the load, a newer load or Close media drops the running one, and quitting
// stops it. A stand-in holds one file's load until the test lets it go.
#include "window_under_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Holds the load of `path` on the loading thread until released, or until the
// loader asks it to stop when it `hearsStops`; then loads for real (a load
// that hears stops gives up at once). Other files load straight away.
struct HeldLoad {
    QString path;
    bool hearsStops;
    std::atomic<bool> started = false, released = false, stopHeard = false;

    MediaLoader::Work work()
    {
        return [this](const QString& file, bool isVideo, const std::function<bool()>& stopRequested) {
            if (file != path)
                return loadMedia(file, isVideo, stopRequested);
            started = true;
            const auto heard = [&] { return hearsStops && stopRequested(); };
            // The stop is a flag, not an event: looked at every few ms, for at most a minute.
            for (int waited = 0; !released && !heard() && waited < 60000; waited += 5)
                std::this_thread::sleep_for(5ms);
            stopHeard = heard();
            return loadMedia(file, isVideo, hearsStops ? stopRequested : std::function<bool()>());
        };
    }
    bool waitUntilStarted() { return QTest::qWaitFor([this] { return started.load(); }, 20000); }
};

// Play, Stop, the seek slider, Close media: "1" for each one enabled.
QString enabledControls(const WindowUnderTest& window)
{
    QString enabled;
    for (const bool on : {window.m_playButton->isEnabled(), window.m_stopButton->isEnabled(),
                          window.m_seekSlider->isEnabled(), window.m_closeMediaAction->isEnabled()})
        enabled += on ? u'1' : u'0';
    return enabled;
}

} // namespace

// A clip replaces a playing image: while it loads the window turns its event
// loop and says so, Play and Space wait; once loaded the clip plays.
TEST(WindowLoadThread, TheWindowAnswersWhileAFileLoadsAndThenPlaysIt)
{
    HeldLoad held{testMedia("bars_25.mp4"), true};
    FakeSystem system;
    system.setState(Ours);
    auto window = makeWindow();
    window->install(system);
    window->m_statusTimer->stop();  // a tick would replace what Play says once the load ends
    window->m_loader.setWork(held.work());
    window->show();
    window->loadFile(testMedia("pattern_3x2.png"));
    window->onPlayPause();
    ASSERT_TRUE(window->m_sender.m_running);

    window->startLoad(testMedia("bars_25.mp4"));
    ASSERT_TRUE(held.waitUntilStarted());
    EXPECT_EQ(window->m_statusLabel->text() + " | " + window->m_fileLabel->text(), "Loading... | bars_25.mp4");
    EXPECT_EQ(enabledControls(*window), "0001");
    EXPECT_TRUE(!window->m_sender.m_running && !window->m_stillPicture);
    window->onPlayPause();  // the Space key
    EXPECT_EQ(window->m_statusLabel->text(), "Loading...");
    EXPECT_FALSE(window->m_sender.m_running);

    bool ticked = false;
    QTimer::singleShot(0, window.get(), [&] { ticked = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticked; }, 20000));
    EXPECT_TRUE(window->m_loader.isBusy());

    held.released = true;
    ASSERT_TRUE(window->waitForLoad());
    EXPECT_EQ(window->m_statusLabel->text(), "Streaming...");
    EXPECT_TRUE(window->m_sender.m_running && window->m_isVideo);
    EXPECT_EQ(enabledControls(*window), "1111");
    window->onStop();
}

// Whether the running load hears the stop or finishes regardless, only the
// file asked for last shows; Close media leaves nothing loaded meanwhile.
TEST(WindowLoadThread, ANewerLoadOrCloseMediaDropsTheRunningOne)
{
    const struct {
        const char* name;
        bool close, hearsStops;
    } cases[] = {
        {"a newer load", false, true}, {"a newer load, the first finishing regardless", false, false},
        {"close media", true, true},   {"close media, the first finishing regardless", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HeldLoad held{testMedia("bars_25.mp4"), c.hearsStops};
        auto window = makeWindow();
        window->m_loader.setWork(held.work());
        int results = 0;
        QObject::connect(&window->m_loader, &MediaLoader::loaded, window.get(), [&] { ++results; });
        window->startLoad(testMedia("bars_25.mp4"));
        ASSERT_TRUE(held.waitUntilStarted());
        if (c.close) {
            window->m_closeMediaAction->trigger();
            EXPECT_EQ(window->m_statusLabel->text() + " | " + window->m_fileLabel->text(), "Ready. | No file selected");
            EXPECT_EQ(enabledControls(*window), "0000");
            EXPECT_FALSE(window->m_settings->contains("lastFile"));
        }
        held.released = !c.hearsStops;
        // Loads end in the order they began: the first one's end comes before this one's.
        window->loadFile(testMedia("pattern_3x2.png"));
        EXPECT_EQ(results, 1);
        EXPECT_EQ(held.stopHeard.load(), c.hearsStops);
        EXPECT_EQ(window->m_statusLabel->text() + " | " + window->m_timeLabel->text(),
                  "Image loaded. Press Play to stream. | Image");
        EXPECT_EQ(window->m_currentFile, testMedia("pattern_3x2.png"));
        ASSERT_TRUE(window->m_stillPicture);
        EXPECT_EQ(window->m_stillPicture->width() * window->m_stillPicture->height(), 3 * 2);
    }
}

// Quitting stops the load at once, and the file being loaded is the last file.
TEST(WindowLoadThread, QuittingDuringALoadStopsIt)
{
    HeldLoad held{testMedia("bars_25.mp4"), true};
    auto window = makeWindow();
    const QString settings = window->m_settings->fileName();
    window->m_loader.setWork(held.work());
    window->startLoad(testMedia("bars_25.mp4"));
    ASSERT_TRUE(held.waitUntilStarted());
    window->onQuit();
    window.reset();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(held.stopHeard.load());
    EXPECT_EQ(QSettings(settings, QSettings::IniFormat).value("lastFile"), testMedia("bars_25.mp4"));
}
