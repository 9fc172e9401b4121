#include "camera/shared_library.h"

#include "camera/module_path_win.h"

#include <windows.h>

#include <string>

const char* const kCameraLibraryName = "softcam.dll";

namespace {

// Library file names are plain ASCII; widening them byte by byte is exact.
std::wstring widen(const char* text)
{
    std::wstring wide;
    for (const char* c = text; *c; ++c)
        wide.push_back(static_cast<unsigned char>(*c));
    return wide;
}

} // namespace

void* loadLibraryBesideProgram(const char* fileName)
{
    const std::wstring directory = programDirectory();
    if (directory.empty())
        return nullptr;
    return LoadLibraryW((directory + widen(fileName)).c_str());
}

void* loadLibraryFromSearchPath(const char* fileName)
{
    return LoadLibraryW(widen(fileName).c_str());
}

void* librarySymbol(void* library, const char* name)
{
    if (!library)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void freeLibrary(void* library)
{
    if (library)
        FreeLibrary(static_cast<HMODULE>(library));
}
