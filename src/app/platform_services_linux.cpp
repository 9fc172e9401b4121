#include "app/platform_services.h"

// FFmpeg and Qt's image readers need no process-wide start-up.
bool startPlatformServices()
{
    return true;
}

void stopPlatformServices() {}
