#include "ui/preview_widget.h"

#include "media/frame.h"
#include "media/picture_rows.h"

#include <QElapsedTimer>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <thread>
#include <vector>

namespace {

const QRgb kBackground = qRgb(20, 20, 20);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kOrange = qRgb(240, 130, 20);  // three different bytes

// A Frame (blue, green, red bytes) whose left half is `left` and right half `right`.
std::vector<uint8_t> makeFrame(int width, int height, QRgb left, QRgb right)
{
    std::vector<uint8_t> frame;
    for (int i = 0; i < width * height; ++i) {
        const QRgb c = i % width < width / 2 ? left : right;
        frame.insert(frame.end(), {uint8_t(qBlue(c)), uint8_t(qGreen(c)), uint8_t(qRed(c))});
    }
    return frame;
}

struct Probe { int x, y; QRgb colour; };

void expectPixels(PreviewWidget& widget, std::initializer_list<Probe> probes)
{
    const QImage shown = widget.grab().toImage();
    for (const Probe& p : probes)
        EXPECT_EQ(shown.pixel(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
}

TEST(PreviewWidget, FitsStretchesAndMirrorsThePicture)
{
    const QRgb bg = kBackground;
    const struct { QSize widget, frame; bool stretch, mirror; std::initializer_list<Probe> probes; } kCases[] = {
        // 640 x 480 in 800 x 300: 400 x 300 at x = 200; the Frame's blue (255, 0, 0) shows blue.
        // (641 columns fit the same; an odd width has a tail that is not a group of four.)
        {{800, 300}, {641, 480}, false, false,
         {{199, 150, bg}, {200, 0, kBlue}, {200, 299, kBlue}, {599, 150, kOrange}, {600, 150, bg}}},
        {{800, 300}, {640, 480}, true, false, {{0, 0, kBlue}, {799, 299, kOrange}}},
        {{800, 300}, {640, 480}, false, true, {{199, 150, bg}, {200, 150, kOrange}, {599, 150, kBlue}}},
        // One column to spare: it lies left of the picture, and right of it mirrored.
        {{801, 300}, {640, 480}, false, true, {{200, 150, bg}, {201, 150, kOrange}, {600, 150, kBlue}}},
        // 1920 x 1080 in 500 x 401: 500 x 281 at y = 60.
        {{500, 401}, {1920, 1080}, false, false,
         {{10, 59, bg}, {10, 60, kBlue}, {490, 340, kOrange}, {490, 341, bg}}},
        // Odd sides at over twice (and four times) the widget's size: stored smaller.
        {{300, 200}, {1281, 721}, false, false, {{150, 5, bg}, {10, 100, kBlue}, {290, 100, kOrange}}},
        {{150, 200}, {1281, 721}, false, true, {{75, 50, bg}, {10, 100, kOrange}, {140, 100, kBlue}}},
    };
    for (const auto& c : kCases) {
        PreviewWidget widget;
        widget.resize(c.widget);
        widget.setStretch(c.stretch);
        widget.setMirror(c.mirror);
        const int w = c.frame.width(), h = c.frame.height();
        const std::vector<uint8_t> frame = makeFrame(w, h, kBlue, kOrange);
        // The second picture is made for the size the first was painted at.
        widget.setFrame(frame.data(), w, h);
        widget.grab();
        widget.setFrame(frame.data(), w, h);
        SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
        expectPixels(widget, c.probes);
    }
}

TEST(PreviewWidget, WithoutAUsablePictureOnlyTheBackgroundShows)
{
    PreviewWidget widget;
    widget.resize(320, 240);
    const auto expectEmpty = [&] { expectPixels(widget, {{0, 0, kBackground}, {160, 120, kBackground}}); };
    expectEmpty();
    const std::vector<uint8_t> frame = makeFrame(8, 6, kOrange, kOrange);
    widget.setFrame(frame.data(), 8, 6);
    widget.clear();
    widget.setStretch(true);
    widget.setMirror(true);
    expectEmpty();
    // Sizes no picture can have are dropped before the 144-byte buffer is read.
    for (auto [width, height] : {std::pair{0, 6}, {8, -1}, {INT_MAX, INT_MAX}, {kMaxFrameSide + 1, 1}}) {
        widget.setFrame(frame.data(), 8, 6);
        widget.setFrame(frame.data(), width, height);
        expectEmpty();
    }
}

// A picture larger than the widget shows as when it came at the widget's
// final size and flags, whatever size it came at: from the window (a still)
// or from the camera thread (a paused video), the widget grown afterwards.
TEST(PreviewWidget, APictureIsAsSharpAsTheWidgetAllowsWhateverSizeItCameAt)
{
    constexpr int w = 1600, h = 1000;
    std::vector<uint8_t> detail(std::size_t(w) * h * 3);  // every pixel differs from its neighbours
    for (std::size_t i = 0; i < detail.size(); ++i)
        detail[i] = uint8_t(i * 7 + i / 3);
    const auto show = [&](PreviewWidget& widget, bool fromCamera) {
        if (!fromCamera)
            return widget.setFrame(detail.data(), w, h);
        PictureRows rows;
        rows.setPicture(std::make_shared<FramePicture>(detail, w, h));
        std::thread([&] { widget.showRows(rows); }).join();
    };
    for (const bool fromCamera : {false, true}) {
        SCOPED_TRACE(fromCamera ? "camera thread" : "window");
        PreviewWidget grown;
        grown.resize(160, 120);
        grown.grab();  // the camera thread samples for the size last painted
        show(grown, fromCamera);
        grown.grab();
        grown.resize(700, 420);
        grown.setMirror(true);
        PreviewWidget direct;
        direct.resize(700, 420);
        direct.setMirror(true);
        show(direct, fromCamera);
        EXPECT_EQ(grown.grab().toImage(), direct.grab().toImage());
    }
}

// Counts the paints, each of which takes the newest picture.
class CountingPreview : public PreviewWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override { ++paints, PreviewWidget::paintEvent(event); }
};

TEST(PreviewWidgetThreads, AFloodFromTheCameraThreadIsShownAtMostThirtyTimesASecondEndingOnTheNewest)
{
    CountingPreview widget;
    widget.resize(64, 48);
    widget.show();
    // What the window system shows, which only a real repaint changes (unlike grab()).
    const auto onScreen = [&] {
        const QImage screen = widget.screen()->grabWindow(widget.winId()).toImage();
        return screen.pixel(widget.width() / 2, widget.height() / 2);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return onScreen() == kBackground; }, 10000));

    // The camera thread sends as fast as it can for half a second, ending on orange.
    const std::vector<uint8_t> frames[] = {makeFrame(64, 48, kBlue, kBlue), makeFrame(64, 48, kOrange, kOrange)};
    std::atomic<bool> done{false};
    QElapsedTimer elapsed;
    elapsed.start();
    widget.paints = 0;
    int sent = 0;
    std::thread camera([&] {
        for (; sent % 2 == 1 || elapsed.elapsed() < 500; ++sent)
            widget.setFrame(frames[sent % 2].data(), 64, 48);
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    camera.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return onScreen() == kOrange; }, 10000));
    const double seconds = elapsed.elapsed() / 1000.0;
    EXPECT_GT(sent, 2 * widget.paints);
    EXPECT_LE(widget.paints, 2 + seconds * PreviewWidget::kMaxPicturesPerSecond) << "in " << seconds << " s";
}

} // namespace
