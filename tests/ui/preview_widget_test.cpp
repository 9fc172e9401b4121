#include "ui/preview_widget.h"

#include "media/frame.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <thread>
#include <vector>

void PrintTo(const QColor& colour, std::ostream* os)
{
    *os << colour.name().toStdString();
}

namespace {

const QColor kBackground(20, 20, 20);

// A Frame whose left half is the Frame bytes (255, 0, 0) and whose right
// half is (0, 0, 255): blue, then red.
std::vector<uint8_t> halvesFrame(int width, int height)
{
    std::vector<uint8_t> frame(*frameBytes(width, height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            frame[(static_cast<size_t>(y) * width + x) * 3 + (x < width / 2 ? 0 : 2)] = 255;
    }
    return frame;
}

std::vector<uint8_t> solidFrame(int width, int height, QColor colour)
{
    std::vector<uint8_t> frame;
    for (size_t i = 0; i < *frameBytes(width, height) / 3; ++i)
        frame.insert(frame.end(), {uint8_t(colour.blue()), uint8_t(colour.green()), uint8_t(colour.red())});
    return frame;
}

struct Probe {
    int x;
    int y;
    QColor colour;
};

void expectPixels(PreviewWidget& widget, std::initializer_list<Probe> probes)
{
    const QImage shown = widget.grab().toImage();
    for (const Probe& p : probes)
        EXPECT_EQ(shown.pixelColor(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
}

TEST(PreviewWidget, FitsStretchesAndMirrorsThePicture)
{
    const QColor blue(0, 0, 255), red(255, 0, 0), bg = kBackground;
    const struct {
        QSize widget;
        QSize frame;
        bool stretch;
        bool mirror;
        std::initializer_list<Probe> probes;
    } kCases[] = {
        // 640 x 480 in 800 x 300: 400 x 300 at x = 200.
        {{800, 300}, {640, 480}, false, false,
         {{199, 150, bg}, {200, 0, blue}, {200, 299, blue}, {599, 150, red}, {600, 150, bg}}},
        {{800, 300}, {640, 480}, true, false, {{0, 0, blue}, {799, 299, red}}},
        // Mirrored, the picture covers the same columns, reversed.
        {{800, 300}, {640, 480}, false, true,
         {{199, 150, bg}, {200, 150, red}, {599, 150, blue}, {600, 150, bg}}},
        {{800, 300}, {640, 480}, true, true, {{0, 0, red}, {799, 299, blue}}},
        // One column to spare: it lies left of the picture, and right of it mirrored.
        {{801, 300}, {640, 480}, false, false, {{199, 150, bg}, {200, 150, blue}, {600, 150, bg}}},
        {{801, 300}, {640, 480}, false, true,
         {{200, 150, bg}, {201, 150, red}, {600, 150, blue}, {601, 150, bg}}},
        // 1920 x 1080 in 500 x 401: 500 x 281 at y = 60.
        {{500, 401}, {1920, 1080}, false, false,
         {{10, 59, bg}, {10, 60, blue}, {490, 340, red}, {490, 341, bg}}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.frame.width() << " x " << c.frame.height() << " in "
                                        << c.widget.width() << " x " << c.widget.height()
                                        << (c.stretch ? " stretched" : "")
                                        << (c.mirror ? " mirrored" : ""));
        PreviewWidget widget;
        widget.resize(c.widget);
        widget.setStretch(c.stretch);
        widget.setMirror(c.mirror);
        widget.setFrame(halvesFrame(c.frame.width(), c.frame.height()).data(), c.frame.width(),
                        c.frame.height());
        expectPixels(widget, c.probes);
    }
}

TEST(PreviewWidget, WithoutAUsablePictureOnlyTheBackgroundShows)
{
    PreviewWidget widget;
    widget.resize(320, 240);
    const auto empty = [&] {
        expectPixels(widget, {{0, 0, kBackground}, {160, 120, kBackground}, {319, 239, kBackground}});
    };
    empty();
    const std::vector<uint8_t> frame = solidFrame(8, 6, Qt::green);
    widget.setFrame(frame.data(), 8, 6);
    widget.clear();
    empty();
    widget.setStretch(true);
    widget.setMirror(true);
    empty();
    // Sizes that no picture can have are dropped before anything is read:
    // the 48-byte buffer would be overrun otherwise.
    for (auto [width, height] :
         {std::pair{0, 6}, {8, -1}, {INT_MAX, INT_MAX}, {kMaxFrameSide + 1, 1}}) {
        widget.setFrame(frame.data(), 8, 6);
        widget.setFrame(frame.data(), width, height);
        empty();
    }
}

// Notes the paint events a widget receives and whether any came on another
// thread than the application's.
class PaintWatcher : public QObject {
public:
    std::atomic<int> paints{0};
    std::atomic<bool> offGuiThread{false};

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (QThread::currentThread() != QCoreApplication::instance()->thread())
                offGuiThread = true;
        }
        return false;
    }
};

// Handles events until `done` holds or ten seconds pass.
template <typename Predicate>
bool processEventsUntil(Predicate done)
{
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    return done();
}

TEST(PreviewWidgetThreads, FramesFromTheCameraThreadArePaintedOnTheGuiThread)
{
    PreviewWidget widget;
    widget.resize(64, 48);
    PaintWatcher watcher;
    widget.installEventFilter(&watcher);
    widget.show();
    ASSERT_TRUE(processEventsUntil([&] { return watcher.paints > 0; }));
    const std::vector<uint8_t> frames[] = {solidFrame(64, 48, Qt::green), solidFrame(64, 48, Qt::magenta)};

    // The GUI thread paints while the camera thread replaces the picture.
    std::atomic<bool> done{false};
    std::thread camera([&] {
        for (int i = 0; i < 200; ++i)
            widget.setFrame(frames[i % 2].data(), 64, 48);
        done = true;
    });
    while (!done)
        widget.grab();
    camera.join();

    // The last frame's repaint arrives through the event queue and reaches the screen.
    watcher.paints = 0;
    EXPECT_TRUE(processEventsUntil([&] { return watcher.paints > 0; }));
    EXPECT_FALSE(watcher.offGuiThread);
    const QImage screen = widget.screen()->grabWindow(widget.winId()).toImage();
    EXPECT_EQ(screen.pixelColor(widget.width() / 2, widget.height() / 2), QColor(Qt::magenta));
}

} // namespace
