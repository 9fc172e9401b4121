#include "ui/preview_widget.h"

#include "media/frame.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace {

const QColor kBackground(20, 20, 20);

// Looks for a new picture once a frame time while pictures come, and a few
// times a second after a second without one.
constexpr std::chrono::milliseconds kBusyInterval(1000 / PreviewWidget::kMaxPicturesPerSecond + 1);
constexpr std::chrono::milliseconds kIdleInterval(200);

} // namespace

PreviewWidget::PreviewWidget(QWidget* parent)
    : QWidget(parent), m_guiThread(std::this_thread::get_id())
{
    setMinimumHeight(200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setStyleSheet(QStringLiteral("background-color: #141414;"));
    setAttribute(Qt::WA_OpaquePaintEvent);  // paintEvent covers every pixel
    m_look.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire early
    connect(&m_look, &QTimer::timeout, this, &PreviewWidget::lookForPicture);
    m_look.start(kIdleInterval);
}

void PreviewWidget::setFrame(const unsigned char* data, int width, int height)
{
    const auto bytes = frameBytes(width, height);
    if (data == nullptr || !bytes) {
        setPicture(nullptr);
        return;
    }
    setPicture(std::make_shared<FramePicture>(std::vector<uint8_t>(data, data + *bytes), width, height));
}

void PreviewWidget::setPicture(std::shared_ptr<const Picture> picture)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = picture ? Pending::Picture : Pending::Clear;
        m_pendingPicture = std::move(picture);
        m_pendingSampled = false;
    }
    showSoonOnGuiThread();
}

void PreviewWidget::showRows(PictureRows& source)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = Pending::Picture;
        m_pendingPicture = source.picture();
        m_pendingView = m_view;
        m_pendingSampled = sample(source, m_view, m_cameraSampler, m_pendingImage);
    }
    showSoonOnGuiThread();
}

void PreviewWidget::clear()
{
    setPicture(nullptr);
}

void PreviewWidget::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void PreviewWidget::setMirror(bool mirror)
{
    m_mirror = mirror;
    update();
}

PreviewWidget::Placement PreviewWidget::place(QSize picture, const View& view)
{
    Placement p;
    const QSize fitted = view.stretch ? view.size : picture.scaled(view.size, Qt::KeepAspectRatio);
    int x = (view.size.width() - fitted.width()) / 2;
    const int y = (view.size.height() - fitted.height()) / 2;
    if (view.mirror)
        x = view.size.width() - x - fitted.width();  // where mirroring the whole widget moves it
    p.rect = QRect(QPoint(x, y), fitted);
    p.pixels = (QSizeF(fitted) * view.ratio).toSize();
    p.sampled = p.pixels.boundedTo(picture);
    return p;
}

bool PreviewWidget::sample(PictureRows& rows, const View& view, NearestSampler& sampler, QImage& image)
{
    const Picture* picture = rows.picture().get();
    if (picture == nullptr)
        return false;
    const QSize sampled = place(QSize(picture->width(), picture->height()), view).sampled;
    if (sampled.isEmpty())
        return false;
    // Reused while the size stays.
    if (image.size() != sampled)
        image = QImage(sampled, QImage::Format_RGB32);
    if (image.isNull())  // it could not be allocated
        return false;
    image.setDevicePixelRatio(view.ratio);  // as many pixels as its place has
    sampler.setGeometry(picture->width(), picture->height(), sampled.width(), sampled.height(), view.mirror,
                        rows.pixelBytes());
    return sampler.sampleRgb32(rows, image.bits(), static_cast<std::size_t>(image.bytesPerLine()));
}

void PreviewWidget::showSoonOnGuiThread()
{
    // Other threads' pictures wait for the next look.
    if (std::this_thread::get_id() == m_guiThread)
        update();
}

void PreviewWidget::lookForPicture()
{
    bool pending = false;
    {
        std::lock_guard lock(m_mutex);
        pending = m_pending != Pending::Nothing;
    }
    if (pending) {
        m_idleLooks = 0;
        if (m_look.intervalAsDuration() != kBusyInterval)
            m_look.setInterval(kBusyInterval);
        update();
    } else if (++m_idleLooks == kMaxPicturesPerSecond) {
        m_look.setInterval(kIdleInterval);
    }
}

PreviewWidget::View PreviewWidget::currentView() const
{
    return {size(), devicePixelRatioF(), m_stretch, m_mirror};
}

void PreviewWidget::takeNewest()
{
    const View view = currentView();
    std::shared_ptr<const Picture> dropped;  // let go of outside the lock
    std::lock_guard lock(m_mutex);
    m_view = view;
    switch (std::exchange(m_pending, Pending::Nothing)) {
    case Pending::Nothing:
        return;
    case Pending::Clear:
        dropped = std::exchange(m_picture, nullptr);
        m_pendingPicture.reset();
        m_imageValid = false;
        return;
    case Pending::Picture:
        dropped = std::exchange(m_picture, std::move(m_pendingPicture));
        m_imageValid = m_pendingSampled;
        if (m_imageValid) {
            m_cameraImage.swap(m_pendingImage);
            m_showOwnImage = false;
            m_imageView = m_pendingView;
        }
        m_scaledStale = true;
        return;
    }
}

void PreviewWidget::paintEvent(QPaintEvent*)
{
    takeNewest();
    QPainter painter(this);
    const View view = currentView();
    if (!m_picture) {
        painter.fillRect(rect(), kBackground);
        return;
    }
    drawPicture(painter, view);
}

void PreviewWidget::drawPicture(QPainter& painter, const View& view)
{
    const Placement place = PreviewWidget::place(QSize(m_picture->width(), m_picture->height()), view);
    for (const QRect& bar : QRegion(rect()).subtracted(QRegion(place.rect)))
        painter.fillRect(bar, kBackground);
    if (place.sampled.isEmpty())
        return;
    if (!m_imageValid || !(m_imageView == view)) {
        PictureRows rows;  // a new size or flag is rare: its rows go after drawing
        rows.setPicture(m_picture);
        m_imageValid = sample(rows, view, m_sampler, m_ownImage);
        m_showOwnImage = true;
        m_imageView = view;
        m_scaledStale = true;
        if (!m_imageValid) {
            painter.fillRect(place.rect, kBackground);
            return;
        }
    }
    const QImage& image = m_showOwnImage ? m_ownImage : m_cameraImage;
    if (place.sampled == place.pixels) {
        painter.drawImage(place.rect.topLeft(), image);
        return;
    }
    // A picture smaller than its place is enlarged smoothly, once.
    if (m_scaledStale || m_scaled.size() != place.pixels) {
        m_scaled = image.scaled(place.pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled.setDevicePixelRatio(view.ratio);
        m_scaledStale = false;
    }
    painter.drawImage(place.rect.topLeft(), m_scaled);
}
