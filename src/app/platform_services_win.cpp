#include "app/platform_services.h"

#include <windows.h>
#include <objbase.h>
#include <mfapi.h>

namespace {

// MF_VERSION of Windows 7 and later; spelled out because the value the SDK
// headers give depends on the targeted Windows version.
constexpr ULONG kMediaFoundationVersion = 0x00020070;

} // namespace

bool startPlatformServices()
{
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const bool mediaFoundation = SUCCEEDED(MFStartup(kMediaFoundationVersion, MFSTARTUP_FULL));
    return com && mediaFoundation;
}

void stopPlatformServices()
{
    MFShutdown();
    CoUninitialize();
}
