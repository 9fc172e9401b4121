#include "ui/clickable_slider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

ClickableSlider::ClickableSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent)
{
}

ClickableSlider::~ClickableSlider() = default;

int ClickableSlider::valueAt(const QMouseEvent* event) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const int handleLength = style()->pixelMetric(QStyle::PM_SliderLength, &option, this);
    const int position = qRound(event->position().x()) - groove.left() - handleLength / 2;
    return QStyle::sliderValueFromPosition(minimum(), maximum(), position,
                                           groove.width() - handleLength, false);
}

void ClickableSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    const int value = valueAt(event);
    setSliderDown(true);
    setValue(value);
    emit sliderMoved(value);
    event->accept();
}

void ClickableSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const int value = valueAt(event);
    setValue(value);
    emit sliderMoved(value);
    event->accept();
}

void ClickableSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    setSliderDown(false);
    event->accept();
}
