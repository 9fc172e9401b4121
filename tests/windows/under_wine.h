#pragma once

#include <windows.h>

// Whether the test runs under Wine rather than Windows: Wine's ntdll exports
// wine_get_version. Tests of interfaces that Wine lacks skip themselves on it.
inline bool underWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
