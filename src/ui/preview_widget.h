#pragma once

#include "media/nearest_sampler.h"
#include "media/picture_rows.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <mutex>
#include <thread>

class QPainter;

// The picture area of the main window: the last picture it was given,
// letterboxed or stretched to the widget and optionally mirrored, on a dark
// background.
//
// The widget keeps the picture itself and draws it sampled for the place it
// takes in the widget, pixel for pixel where the picture is at least that
// large (nearest neighbour, so only the rows shown are converted), smoothly
// enlarged where it is smaller. A new size or a new flag samples the kept
// picture anew, so a picture is always as sharp as the widget allows, however
// the widget got its size.
//
// setFrame, setPicture, showRows and clear may be called from any thread (the
// camera thread calls showRows while a stream runs, at most 30 times a
// second): they leave the newest picture under the widget's own mutex and
// touch nothing else, so another thread never posts, allocates Qt objects or
// paints for the widget and nothing piles up. The widget must outlive those
// calls. Everything else is GUI thread only.
//
// The GUI thread takes the newest picture when it paints: at once after a
// call on the GUI thread, else at its next look, made at most
// kMaxPicturesPerSecond times a second, whatever the rate of the calls.
class PreviewWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxPicturesPerSecond = 30;

    explicit PreviewWidget(QWidget* parent = nullptr);

    // Replaces the picture by a copy of a width x height Frame, which is read
    // during the call only. A size outside the Frame bounds leaves no picture.
    void setFrame(const unsigned char* data, int width, int height);
    // Replaces the picture by `picture` (null: none), kept and read whenever
    // it is drawn anew.
    void setPicture(std::shared_ptr<const Picture> picture);
    // Replaces the picture by the one `source` reads, sampled at once for the
    // widget as last painted through `source`, whose rows are read during the
    // call only; the picture itself is kept for later sizes.
    void showRows(PictureRows& source);
    // Drops the picture; the widget shows its background only.
    void clear();
    // Fill the widget instead of keeping the picture's aspect ratio.
    void setStretch(bool stretch);
    // Show the picture mirrored left to right.
    void setMirror(bool mirror);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What a drawn picture depends on besides the picture.
    struct View {
        QSize size;        // the widget, in its own coordinates
        qreal ratio = 1;   // device pixels a coordinate unit
        bool stretch = false;
        bool mirror = false;
        bool operator==(const View&) const = default;
    };
    // Where a picture goes in a view, and the size it is sampled at: the
    // place's size in device pixels, but never above the picture's own.
    struct Placement {
        QRect rect;
        QSize pixels;
        QSize sampled;
    };
    static Placement place(QSize picture, const View& view);
    static bool sample(PictureRows& rows, const View& view, NearestSampler& sampler, QImage& image);

    // What the calls from any thread left for the GUI thread.
    enum class Pending { Nothing, Picture, Clear };

    View currentView() const;
    void showSoonOnGuiThread();
    void lookForPicture();
    void takeNewest();
    void drawPicture(QPainter& painter, const View& view);

    std::mutex m_mutex;  // guards the members up to m_cameraSampler
    Pending m_pending = Pending::Nothing;
    std::shared_ptr<const Picture> m_pendingPicture;
    // The pending picture sampled for m_pendingView, when m_pendingSampled;
    // swapped with m_cameraImage when taken. Only showRows writes these two
    // images; the GUI thread only reads them.
    QImage m_pendingImage;
    View m_pendingView;
    bool m_pendingSampled = false;
    View m_view;  // the view when last painted, for showRows
    NearestSampler m_cameraSampler;  // showRows's

    // GUI thread only.
    std::shared_ptr<const Picture> m_picture;  // null when there is none
    // m_picture sampled for m_imageView: by showRows, or here when the
    // widget's view changed since.
    QImage m_cameraImage;
    QImage m_ownImage;
    bool m_showOwnImage = false;
    View m_imageView;
    bool m_imageValid = false;
    QImage m_scaled;       // the image shown enlarged to its place, when smaller
    bool m_scaledStale = true;
    NearestSampler m_sampler;
    bool m_stretch = false;
    bool m_mirror = false;
    const std::thread::id m_guiThread;
    QTimer m_look;  // looks for a picture from another thread
    int m_idleLooks = 0;
};
