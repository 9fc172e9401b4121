#include <QApplication>
#include <QLoggingCategory>

#include <gtest/gtest.h>

// Widgets need a real application object; without a display the offscreen
// platform serves (CTest sets it, a hand-started run gets it here).
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The icons are the program's resources, not linked into the tests.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
