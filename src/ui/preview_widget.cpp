#include "ui/preview_widget.h"

#include "media/frame.h"

#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace {

const QColor kBackground(20, 20, 20);

// Looks for a new picture once a frame time while pictures come, and a few
// times a second after a second without one.
constexpr std::chrono::milliseconds kBusyInterval(1000 / PreviewWidget::kMaxPicturesPerSecond + 1);
constexpr std::chrono::milliseconds kIdleInterval(200);

// One Frame row (blue, green, red bytes) as 0xffRRGGBB pixels; four pixels at
// a time out of three 32-bit words.
void convertRow(const uchar* in, quint32* out, std::size_t width)
{
    std::size_t x = 0;
    for (; x + 4 <= width; x += 4, in += 12) {
        const quint32 a = qFromLittleEndian<quint32>(in);
        const quint32 b = qFromLittleEndian<quint32>(in + 4);
        const quint32 c = qFromLittleEndian<quint32>(in + 8);
        out[x] = 0xff000000u | a;
        out[x + 1] = 0xff000000u | a >> 24 | b << 8;
        out[x + 2] = 0xff000000u | b >> 16 | c << 16;
        out[x + 3] = 0xff000000u | c >> 8;
    }
    for (; x < width; ++x, in += 3)
        out[x] = 0xff000000u | quint32(in[2]) << 16 | quint32(in[1]) << 8 | in[0];
}

// Every `factor`-th pixel of one Frame row: for a picture far larger than the
// widget, one row in `factor` is read and the painter's smooth scaling, from
// a picture still at least the widget's size, does the rest.
void sampleRow(const uchar* in, quint32* out, std::size_t outWidth, int factor)
{
    const std::size_t step = 3 * std::size_t(factor);
    for (std::size_t x = 0; x < outWidth; ++x, in += step)
        out[x] = 0xff000000u | quint32(in[2]) << 16 | quint32(in[1]) << 8 | in[0];
}

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
    {
        std::lock_guard lock(m_mutex);
        m_pending = storeLocked(data, width, height) ? Pending::Picture : Pending::Clear;
    }
    showSoonOnGuiThread();
}

bool PreviewWidget::storeLocked(const unsigned char* data, int width, int height)
{
    if (data == nullptr || !frameBytes(width, height))
        return false;
    // At k times the widget's size or more (k >= 2), a k times smaller
    // picture shows the same.
    const int factor = m_viewSize.isEmpty()
                           ? 1
                           : std::max(1, std::min(width / std::max(1, m_viewSize.width()),
                                                  height / std::max(1, m_viewSize.height())));
    const QSize stored(width / factor, height / factor);
    // Reused while the size stays; after a take it is the picture shown before.
    if (m_pendingImage.size() != stored)
        m_pendingImage = QImage(stored, QImage::Format_RGB32);
    if (m_pendingImage.isNull())  // it could not be allocated
        return false;
    const auto w = static_cast<std::size_t>(width);
    const auto stride = static_cast<std::size_t>(m_pendingImage.bytesPerLine());
    uchar* rows = m_pendingImage.bits();
    for (std::size_t y = 0; y < static_cast<std::size_t>(stored.height()); ++y) {
        auto* out = reinterpret_cast<quint32*>(rows + y * stride);
        if (factor > 1)  // the middle of each band
            sampleRow(data + ((y * factor + factor / 2) * w + std::size_t(factor / 2)) * 3, out,
                      std::size_t(stored.width()), factor);
        else
            convertRow(data + y * w * 3, out, w);
    }
    m_pendingSize = QSize(width, height);
    return true;
}

void PreviewWidget::clear()
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = Pending::Clear;
    }
    showSoonOnGuiThread();
}

void PreviewWidget::setStretch(bool stretch)
{
    m_stretch = stretch;
    m_scaledStale = true;
    update();
}

void PreviewWidget::setMirror(bool mirror)
{
    m_mirror = mirror;
    m_scaledStale = true;
    update();
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

void PreviewWidget::takeNewest()
{
    Pending what = Pending::Nothing;
    {
        std::lock_guard lock(m_mutex);
        m_viewSize = (QSizeF(size()) * devicePixelRatioF()).toSize();
        what = std::exchange(m_pending, Pending::Nothing);
        if (what == Pending::Picture) {
            m_image.swap(m_pendingImage);
            m_pictureSize = m_pendingSize;
        }
    }
    if (what == Pending::Nothing)
        return;
    m_scaledStale = true;
    if (what == Pending::Clear)
        m_image = QImage();
}

void PreviewWidget::paintEvent(QPaintEvent*)
{
    takeNewest();
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (!m_image.isNull())
        drawPicture(painter);
}

void PreviewWidget::drawPicture(QPainter& painter)
{
    const QSize fitted = m_stretch ? size() : m_pictureSize.scaled(size(), Qt::KeepAspectRatio);
    if (fitted.isEmpty())
        return;
    int x = (width() - fitted.width()) / 2;
    const int y = (height() - fitted.height()) / 2;
    if (m_mirror)
        x = width() - x - fitted.width();  // the place mirroring the whole widget moves it to

    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(fitted) * ratio).toSize();
    if (m_scaledStale || m_scaled.size() != pixels) {
        if (m_scaled.size() != pixels)
            m_scaled = QImage(pixels, QImage::Format_RGB32);
        if (m_scaled.isNull())
            return;
        QPainter scaler(&m_scaled);
        scaler.setRenderHint(QPainter::SmoothPixmapTransform);
        if (m_mirror) {
            scaler.translate(pixels.width(), 0);
            scaler.scale(-1, 1);
        }
        scaler.drawImage(QRect(QPoint(0, 0), pixels), m_image);
        scaler.end();
        m_scaled.setDevicePixelRatio(ratio);
        m_scaledStale = false;
    }
    painter.drawImage(QPoint(x, y), m_scaled);
}
