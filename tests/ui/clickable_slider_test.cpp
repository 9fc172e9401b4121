#include "ui/clickable_slider.h"

#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ClickableSliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_slider.setRange(0, 1000);
        m_slider.resize(300, 30);
        m_slider.show();
        QObject::connect(&m_slider, &QSlider::sliderPressed, [this] { m_log.push_back("pressed"); });
        QObject::connect(&m_slider, &QSlider::sliderReleased, [this] { m_log.push_back("released"); });
        QObject::connect(&m_slider, &QSlider::valueChanged,
                         [this](int v) { m_log.push_back("value " + std::to_string(v)); });
        QObject::connect(&m_slider, &QSlider::sliderMoved,
                         [this](int v) { m_log.push_back("moved " + std::to_string(v)); });
    }
    QRect subControl(QStyle::SubControl control) const
    {
        QStyleOptionSlider option;
        option.initFrom(&m_slider);
        option.subControls = QStyle::SC_All;
        option.orientation = Qt::Horizontal;
        option.minimum = m_slider.minimum();
        option.maximum = m_slider.maximum();
        option.sliderPosition = m_slider.sliderPosition();
        option.sliderValue = m_slider.value();
        return m_slider.style()->subControlRect(QStyle::CC_Slider, &option, control, &m_slider);
    }
    QPoint at(int x) const { return {x, m_slider.height() / 2}; }

    ClickableSlider m_slider{Qt::Horizontal};
    std::vector<std::string> m_log;
};

TEST_F(ClickableSliderTest, LeftClickPutsTheHandleUnderThePointer)
{
    const QRect groove = subControl(QStyle::SC_SliderGroove);
    const int handle = subControl(QStyle::SC_SliderHandle).width();
    const int unitsPerPixel = 1000 / (groove.width() - handle) + 1;
    const struct {
        int x;
        int value;
    } kCases[] = {
        {groove.center().x(), 500},
        {groove.left() + handle / 2, 0},
        {groove.right() - handle / 2, 1000},
        {groove.left() + handle / 2 + (groove.width() - handle) / 4, 250},
        {0, 0},
        {m_slider.width() - 1, 1000},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE("x = " + std::to_string(c.x));
        m_slider.setValue(c.value == 500 ? 0 : 500);
        m_log.clear();
        QTest::mouseClick(&m_slider, Qt::LeftButton, {}, at(c.x));
        EXPECT_NEAR(m_slider.value(), c.value, unitsPerPixel);
        const std::string v = std::to_string(m_slider.value());
        // The base slider reports the move itself as well while it is down.
        EXPECT_EQ(m_log, (std::vector<std::string>{"pressed", "moved " + v, "value " + v, "moved " + v,
                                                   "released"}));
        // Away from the ends the handle's centre is under the pointer.
        if (c.value > 0 && c.value < 1000) {
            EXPECT_NEAR(subControl(QStyle::SC_SliderHandle).center().x(), c.x, 1);
        }
    }
}

TEST_F(ClickableSliderTest, FollowsTheMouseOnlyWhileTheLeftButtonIsHeld)
{
    const QRect groove = subControl(QStyle::SC_SliderGroove);
    // Other buttons, and moves while they are held, do nothing.
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(&m_slider, button, {}, at(groove.center().x()));
        QTest::mouseMove(&m_slider, at(groove.right()));
        QTest::mouseRelease(&m_slider, button, {}, at(groove.right()));
    }
    EXPECT_EQ(m_slider.value(), 0);
    EXPECT_TRUE(m_log.empty());

    QTest::mousePress(&m_slider, Qt::LeftButton, {}, at(groove.center().x()));
    const std::string pressed = std::to_string(m_slider.value());
    QTest::mouseMove(&m_slider, at(m_slider.width() - 1));
    EXPECT_TRUE(m_slider.isSliderDown());
    QTest::mouseRelease(&m_slider, Qt::LeftButton, {}, at(m_slider.width() - 1));
    EXPECT_EQ(m_log, (std::vector<std::string>{"pressed", "moved " + pressed, "value " + pressed,
                                               "moved " + pressed, "moved 1000", "value 1000",
                                               "moved 1000", "released"}));
    EXPECT_FALSE(m_slider.isSliderDown());
}

} // namespace
