#include <QApplication>
#include <QLoggingCategory>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");  // real widgets, no display needed
    QApplication app(argc, argv);
    // The window's icons are the program's resources, not linked here.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
