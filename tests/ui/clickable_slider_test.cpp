#include "ui/clickable_slider.h"

#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A 300 pixel wide 0 to 1000 slider that logs its signals in order.
class Slider : public ClickableSlider {
public:
    Slider() : ClickableSlider(Qt::Horizontal)
    {
        setRange(0, 1000);
        resize(300, 30);
        show();
        connect(this, &QSlider::sliderPressed, [this] { log.push_back("pressed"); });
        connect(this, &QSlider::sliderReleased, [this] { log.push_back("released"); });
        connect(this, &QSlider::valueChanged, [this](int v) { log.push_back("value " + std::to_string(v)); });
        connect(this, &QSlider::sliderMoved, [this](int v) { log.push_back("moved " + std::to_string(v)); });
    }
    QRect part(QStyle::SubControl control) const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_Slider, &option, control, this);
    }
    QPoint at(int x) const { return {x, height() / 2}; }

    std::vector<std::string> log;
};

// Press, with the move the base slider reports itself while down, and release.
std::vector<std::string> clickLog(int value)
{
    const std::string v = std::to_string(value);
    return {"pressed", "moved " + v, "value " + v, "moved " + v, "released"};
}

TEST(ClickableSlider, LeftClickPutsTheHandleUnderThePointer)
{
    Slider slider;
    const QRect groove = slider.part(QStyle::SC_SliderGroove);
    const int handle = slider.part(QStyle::SC_SliderHandle).width();
    const int travel = groove.width() - handle;
    for (auto [x, value] : {std::pair{groove.left() + handle / 2 + travel / 2, 500},
                            {groove.left() + handle / 2 + travel / 4, 250}, {0, 0}, {slider.width() - 1, 1000}}) {
        slider.setValue(value == 500 ? 0 : 500);
        slider.log.clear();
        QTest::mouseClick(&slider, Qt::LeftButton, {}, slider.at(x));
        EXPECT_NEAR(slider.value(), value, 1000 / travel + 1) << "x = " << x;
        EXPECT_EQ(slider.log, clickLog(slider.value())) << "x = " << x;
        if (value > 0 && value < 1000) {
            EXPECT_NEAR(slider.part(QStyle::SC_SliderHandle).center().x(), x, 1);
        }
    }
}

TEST(ClickableSlider, FollowsTheMouseOnlyWhileTheLeftButtonIsHeld)
{
    Slider slider;
    const int right = slider.width() - 1;
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(&slider, button, {}, slider.at(right / 2));
        QTest::mouseMove(&slider, slider.at(right));
        QTest::mouseRelease(&slider, button, {}, slider.at(right));
    }
    EXPECT_EQ(slider.value(), 0);
    EXPECT_TRUE(slider.log.empty());

    QTest::mousePress(&slider, Qt::LeftButton, {}, slider.at(right / 2));
    std::vector<std::string> expected = clickLog(slider.value());
    QTest::mouseMove(&slider, slider.at(right));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, slider.at(right));
    expected.insert(expected.end() - 1, {"moved 1000", "value 1000", "moved 1000"});
    EXPECT_EQ(slider.log, expected);
    EXPECT_FALSE(slider.isSliderDown());
}

} // namespace
