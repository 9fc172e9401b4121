#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <mutex>
#include <thread>

class QPainter;

// The picture area of the main window: the last Frame it was given,
// letterboxed or stretched to the widget and optionally mirrored, on a dark
// background.
//
// setFrame and clear may be called from any thread (the camera thread calls
// setFrame while a stream runs, at most 30 times a second): they convert the
// Frame into a reused picture under the widget's own mutex and touch nothing
// else, so another thread never posts, allocates or paints for the widget and
// nothing piles up. The widget must outlive those calls. Everything else is
// GUI thread only.
//
// Only the newest picture is kept. The GUI thread takes it when it paints: at
// once after a call on the GUI thread, else at its next look, made at most
// kMaxPicturesPerSecond times a second, whatever the rate of the calls. A
// picture is scaled once to the widget's size, and a paint without a new
// picture draws the same scaled picture again.
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

    bool storeLocked(const unsigned char* data, int width, int height);  // with m_mutex held
    void showSoonOnGuiThread();
    void lookForPicture();
    void takeNewest();
    void drawPicture(QPainter& painter);

    std::mutex m_mutex;  // guards the members up to m_viewSize
    Pending m_pending = Pending::Nothing;
    // The newest picture not yet taken, in QImage::Format_RGB32, the format
    // the painter scales fastest; swapped with m_image when taken. It may be
    // stored at a whole fraction of the Frame's size, m_pendingSize.
    QImage m_pendingImage;
    QSize m_pendingSize;
    QSize m_viewSize;  // the widget in device pixels, when last painted

    // GUI thread only.
    QImage m_image;       // the picture shown; null when there is none
    QSize m_pictureSize;  // the size of the Frame it shows
    // m_image scaled (and mirrored) for the place it is drawn at; stale after
    // a new picture or a change of mirror or stretch.
    QImage m_scaled;
    bool m_scaledStale = true;
    bool m_stretch = false;
    bool m_mirror = false;
    const std::thread::id m_guiThread;
    QTimer m_look;  // looks for a picture from another thread
    int m_idleLooks = 0;
};
