#pragma once

#include <string>

// Wine stands in for Windows here (its ntdll exports wine_get_version); cases
// for what it lacks skip themselves.
#ifdef _WIN32
#include <windows.h>
inline const bool kWine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
inline constexpr bool kWine = false;
#endif

// Path of a generated test file. ORVENNA_TEST_MEDIA_DIR is a host path; Wine
// shows the host's root as drive Z:.
inline std::wstring testMediaPath(const std::wstring& name)
{
#ifdef _WIN32
    std::wstring path = L"Z:";
    const wchar_t separator = L'\\';
#else
    std::wstring path;
    const wchar_t separator = L'/';
#endif
    for (const char c : std::string(ORVENNA_TEST_MEDIA_DIR))
        path += c == '/' ? separator : wchar_t(static_cast<unsigned char>(c));
    return path + separator + name;
}
inline std::wstring testMediaPath(const std::string& asciiName)
{
    return testMediaPath(std::wstring(asciiName.begin(), asciiName.end()));
}
