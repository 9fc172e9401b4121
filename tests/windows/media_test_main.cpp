// Entry of the media tests: platform services started and stopped as the application does.
#include "app/platform_services.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!startPlatformServices())
        return std::fputs("the platform services did not start\n", stderr), 1;
    const int result = RUN_ALL_TESTS();
    stopPlatformServices();
    return result;
}
