#pragma once

#include <QImage>
#include <QWidget>

#include <mutex>

class QPainter;

// The picture area of the main window: the last Frame it was given,
// letterboxed or stretched to the widget and optionally mirrored, on a dark
// background.
//
// setFrame and clear may be called from any thread (the camera thread calls
// setFrame up to 30 times a second): they copy under the widget's own mutex
// and ask for the repaint through the GUI thread's event queue, so the widget
// is never painted from another thread. The widget must outlive those calls.
// Everything else is GUI thread only.
class PreviewWidget : public QWidget {
    Q_OBJECT

public:
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
    void requestRepaint();
    void drawPicture(QPainter& painter, const QImage& image);

    std::mutex m_mutex;  // guards m_image
    // A private copy of the last Frame in QImage::Format_RGB32, the format
    // the painter scales fastest; null when there is no picture.
    QImage m_image;
    bool m_stretch = false;
    bool m_mirror = false;

    // m_image scaled (and mirrored) for the place it is drawn at: made once
    // per picture and size, not on every paint.
    QImage m_scaled;
    qint64 m_scaledFrom = 0;  // cacheKey() of the picture m_scaled was made from
    bool m_scaledMirrored = false;
};
