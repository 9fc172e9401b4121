#include <QApplication>
#include <QLoggingCategory>

#include <gtest/gtest.h>

// The widgets need an application object (CTest runs them on the offscreen
// platform); listing the tests at build time needs none.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    // The window's icons are the program's resources, not linked here.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
    return RUN_ALL_TESTS();
}
