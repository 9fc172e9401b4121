#include "camera/module_path_win.h"

#include <windows.h>

namespace {

// Longest path Windows hands out, in wide characters.
constexpr DWORD kMaxPathLength = 32768;

} // namespace

std::wstring programDirectory()
{
    // Start at MAX_PATH and grow: a full buffer means the path was cut off.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0)
            return {};
        if (length < size) {
            path.resize(length);
            break;
        }
        if (size >= kMaxPathLength)
            return {};
        path.resize(size * 2);
    }
    const size_t backslash = path.rfind(L'\\');
    if (backslash == std::wstring::npos)
        return {};
    path.resize(backslash + 1);
    return path;
}
