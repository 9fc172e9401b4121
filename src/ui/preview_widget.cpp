#include "ui/preview_widget.h"

#include "media/frame.h"

#include <QPainter>

#include <cstring>

namespace {

const QColor kBackground(20, 20, 20);

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
                m_image = QImage(width, height, QImage::Format_BGR888);
            if (!m_image.isNull()) {  // null: it could not be allocated
                const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
                const auto stride = static_cast<std::size_t>(m_image.bytesPerLine());
                uchar* rows = m_image.bits();
                for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y)
                    std::memcpy(rows + y * stride, data + y * rowBytes, rowBytes);
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
        // Kept in Format_RGB32, which the painter draws fastest and which
        // never shares m_image's buffer.
        m_scaled = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB32)
                       .mirrored(m_mirror, false);
        m_scaled.setDevicePixelRatio(ratio);
        m_scaledFrom = image.cacheKey();
        m_scaledMirrored = m_mirror;
    }
    painter.drawImage(QPoint(x, y), m_scaled);
}
