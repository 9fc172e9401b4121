#pragma once

#include <QSlider>

class QMouseEvent;

// A horizontal slider that jumps to the clicked point instead of stepping by
// pages and follows the mouse while the left button is held. It emits the
// base slider's signals: sliderPressed, then valueChanged and sliderMoved on
// a left press; valueChanged and sliderMoved on moves; sliderReleased on the
// left release. Other buttons and plain hovering do nothing; keys and the
// wheel are the base slider's.
class ClickableSlider : public QSlider {
    Q_OBJECT

public:
    explicit ClickableSlider(Qt::Orientation orientation, QWidget* parent = nullptr);
    ~ClickableSlider() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The value that puts the handle's centre under the event's x position.
    int valueAt(const QMouseEvent* event) const;

    bool m_pressed = false;  // the left button went down here and is not yet released
};
