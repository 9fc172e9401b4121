// Entry of the media tests: platform services started and stopped as the application does.
#include "app/platform_services.h"
#include "support/test_media.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!startPlatformServices())
        return std::fputs("the platform services did not start\n", stderr), 1;
    const int result = RUN_ALL_TESTS();
    // Media Foundation's threads, ending at its shutdown, now and then crash Wine's
    // GStreamer glue (a glib thread-data destructor): under Wine it stays up to the end.
    if (!kWine)
        stopPlatformServices();
    return result;
}
