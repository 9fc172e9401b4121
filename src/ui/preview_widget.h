#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <mutex>

class QPainter;

// The picture area of the main window: the last Frame it was given,
// letterboxed or stretched to the widget and optionally mirrored, on a dark
// background.
//
// setFrame and clear may be called from any thread (the camera thread calls
// setFrame while a stream runs, at most 30 times a second): they convert the
// Frame into a reused picture under the widget's own mutex and, unless one is
// already on its way, queue a wake-up to the GUI thread, so the widget is
// never painted from another thread and no events pile up. The widget must
// outlive those calls. Everything else is GUI thread only.
//
// Only the newest picture is kept. The GUI thread takes it when it paints, and
// the wake-ups are paced so that at most kMaxPicturesPerSecond pictures are
// taken and scaled a second, whatever the rate of the calls; a picture is
// scaled once to the widget's size, and a paint without a new picture draws
// the same scaled picture again.
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
    enum class Pending { Nothing, Picture, Clear };

    void wakeLocked();  // with m_mutex held
    void onWake();
    void takeNewest();
    void drawPicture(QPainter& painter);

    std::mutex m_mutex;  // guards the members up to m_wakeQueued
    Pending m_pending = Pending::Nothing;
    // The newest picture not yet taken, in QImage::Format_RGB32, the format
    // the painter scales fastest; swapped with m_image when taken. It may be
    // stored at half the Frame's size, m_pendingSize.
    QImage m_pendingImage;
    QSize m_pendingSize;
    QSize m_viewSize;           // the widget in device pixels, when last painted
    bool m_wakeQueued = false;  // a call of onWake is on its way

    // GUI thread only.
    QImage m_image;       // the picture shown; null when there is none
    QSize m_pictureSize;  // the size of the Frame it shows
    // m_image scaled (and mirrored) for the place it is drawn at; stale after
    // a new picture or a change of mirror or stretch.
    QImage m_scaled;
    bool m_scaledStale = true;
    bool m_stretch = false;
    bool m_mirror = false;
    QElapsedTimer m_lastTaken;  // invalid before the first picture
    QTimer m_pace;              // single shot: the next wake-up's paint
};
