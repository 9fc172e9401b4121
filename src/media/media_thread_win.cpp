#include "media/media_thread.h"

#include <windows.h>
#include <objbase.h>

MediaThreadScope::MediaThreadScope()
    : m_entered(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
{
}

MediaThreadScope::~MediaThreadScope()
{
    if (m_entered)
        CoUninitialize();
}
