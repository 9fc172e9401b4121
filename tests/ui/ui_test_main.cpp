#include "app/platform_services.h"
#include "support/test_media.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
#ifndef _WIN32
    qputenv("QT_QPA_PLATFORM", "offscreen");  // real widgets, no display needed
#endif
    // Windows: the platform's own windows on Wine's X display, with COM and
    // Media Foundation around the application as the program has them.
    startPlatformServices();
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    if (!kWine)  // see tests/windows/media_test_main.cpp
        stopPlatformServices();
    return result;
}
