#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <mutex>
#include <vector>

class QPainter;

// The picture area of the main window: the last Frame it was given,
// letterboxed or stretched to the widget and optionally mirrored, on a dark
// background.
//
// setFrame and clear may be called from any thread (the camera thread calls
// setFrame while a stream runs): they only copy the Frame under the widget's
// own mutex and, unless one is already on its way, queue a wake-up to the GUI
// thread, so the widget is never painted from another thread and no events
// pile up. The widget must outlive those calls. Everything else is GUI thread
// only.
//
// Only the newest Frame is kept. The GUI thread turns it into a picture when
// it paints, and the camera's wake-ups are paced so that at most
// kMaxPicturesPerSecond pictures are converted and scaled a second, whatever
// the rate of the calls; a picture is scaled once to the widget's size, and a
// paint without a new picture draws the same scaled picture again.
class PreviewWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxPicturesPerSecond = 30;

    explicit PreviewWidget(QWidget* parent = nullptr);

    // Replaces the picture by a copy of a width x height Frame, which is read
    // during the call only. A size outside the Frame bounds, or a picture
    // that cannot be allocated, leaves no picture.
    void setFrame(const unsigned char* data, int width, int height);
    // Drops the picture; the widget shows its background only.
    void clear();
    // Fill the widget instead of keeping the picture's aspect ratio.
    void setStretch(bool stretch);
    // Show the picture mirrored left to right.
    void setMirror(bool mirror);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What setFrame and clear left for the GUI thread.
    enum class Pending { Nothing, Frame, Clear };

    void wakeLocked();  // with m_mutex held
    void onWake();
    void takeNewest();
    void drawPicture(QPainter& painter);

    std::mutex m_mutex;  // guards the members up to m_wakeQueued
    Pending m_pending = Pending::Nothing;
    std::vector<std::uint8_t> m_pendingFrame;  // the newest Frame not yet taken
    QSize m_pendingSize;
    bool m_wakeQueued = false;  // a call of onWake is on its way

    // GUI thread only.
    std::vector<std::uint8_t> m_takenFrame;  // swapped with m_pendingFrame
    // The picture in QImage::Format_RGB32, the format the painter scales
    // fastest; null when there is none. Reused while the size stays.
    QImage m_image;
    // m_image scaled (and mirrored) for the place it is drawn at; stale after
    // a new picture or a change of mirror or stretch.
    QImage m_scaled;
    bool m_scaledStale = true;
    bool m_stretch = false;
    bool m_mirror = false;
    QElapsedTimer m_lastTaken;  // invalid before the first picture
    QTimer m_pace;              // single shot: the next wake-up's paint
};
