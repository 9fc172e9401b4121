#include "ui/preview_widget.h"

#include "media/frame.h"

#include <QPainter>
#include <QtEndian>

namespace {

const QColor kBackground(20, 20, 20);

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

} // namespace

PreviewWidget::PreviewWidget(QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setStyleSheet(QStringLiteral("background-color: #141414;"));
    setAttribute(Qt::WA_OpaquePaintEvent);  // paintEvent covers every pixel
}

void PreviewWidget::setFrame(const unsigned char* data, int width, int height)
{
    {
        std::lock_guard lock(m_mutex);
        if (data == nullptr || !frameBytes(width, height)) {
            m_image = QImage();
        } else {
            // The buffer is reused unless the size changed or a paint still holds it.
            if (m_image.size() != QSize(width, height) || !m_image.isDetached())
                m_image = QImage(width, height, QImage::Format_RGB32);
            if (!m_image.isNull()) {  // null: it could not be allocated
                const auto w = static_cast<std::size_t>(width);
                const auto stride = static_cast<std::size_t>(m_image.bytesPerLine());
                uchar* rows = m_image.bits();
                for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y)
                    convertRow(data + y * w * 3, reinterpret_cast<quint32*>(rows + y * stride), w);
            }
        }
    }
    requestRepaint();
}

void PreviewWidget::clear()
{
    {
        std::lock_guard lock(m_mutex);
        m_image = QImage();
    }
    requestRepaint();
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

void PreviewWidget::requestRepaint()
{
    QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
}

void PreviewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    // A shallow copy: setFrame never waits for the scaling below.
    QImage image;
    {
        std::lock_guard lock(m_mutex);
        image = m_image;
    }
    if (image.isNull())
        m_scaled = QImage();
    else
        drawPicture(painter, image);
    // Let go of the copy under the lock, so that setFrame sees reliably
    // whether the picture is still shared before it writes into it.
    std::lock_guard lock(m_mutex);
    image = QImage();
}

void PreviewWidget::drawPicture(QPainter& painter, const QImage& image)
{
    const QSize fitted = m_stretch ? size() : image.size().scaled(size(), Qt::KeepAspectRatio);
    if (fitted.isEmpty())
        return;
    int x = (width() - fitted.width()) / 2;
    const int y = (height() - fitted.height()) / 2;
    if (m_mirror)
        x = width() - x - fitted.width();  // the place mirroring the whole widget moves it to

    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(fitted) * ratio).toSize();
    if (image.cacheKey() != m_scaledFrom || m_scaled.size() != pixels ||
        m_scaledMirrored != m_mirror) {
        // The buffer is reused while the size stays.
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
        scaler.drawImage(QRect(QPoint(0, 0), pixels), image);
        scaler.end();
        m_scaled.setDevicePixelRatio(ratio);
        m_scaledFrom = image.cacheKey();
        m_scaledMirrored = m_mirror;
    }
    painter.drawImage(QPoint(x, y), m_scaled);
}
