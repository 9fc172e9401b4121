#include "camera/shared_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

const char* const kCameraLibraryName = "libsoftcam.so";

namespace {

// Directory of the running executable with a trailing slash, or empty.
std::string programDirectory()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size())
        return {};
    path.resize(static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    path.resize(slash + 1);
    return path;
}

} // namespace

void* loadLibraryBesideProgram(const char* fileName)
{
    const std::string directory = programDirectory();
    if (directory.empty())
        return nullptr;
    return dlopen((directory + fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* loadLibraryFromSearchPath(const char* fileName)
{
    return dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
}

void* librarySymbol(void* library, const char* name)
{
    return library ? dlsym(library, name) : nullptr;
}

void freeLibrary(void* library)
{
    if (library)
        dlclose(library);
}
