#pragma once

#include <string>

// Path of a generated test file (ORVENNA_TEST_MEDIA_DIR, a host path) as
// Windows sees it: Wine shows the host's root as drive Z:.
inline std::wstring testMediaPath(const wchar_t* name)
{
    std::wstring path = L"Z:";
    for (const char c : std::string(ORVENNA_TEST_MEDIA_DIR))
        path += c == '/' ? L'\\' : wchar_t(static_cast<unsigned char>(c));
    return path + L'\\' + name;
}
