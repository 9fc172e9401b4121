#pragma once

// The platform's module loader, as the camera library binding needs it.
// Handles are opaque; null means "not loaded".

// File name of the camera library on this platform ("softcam.dll" on
// Windows, "libsoftcam.so" elsewhere).
extern const char* const kCameraLibraryName;

// Loads `fileName`, a file name or a relative path, from the directory of the
// running executable only.
void* loadLibraryBesideProgram(const char* fileName);
// Loads `fileName` by bare name through the platform's default search.
void* loadLibraryFromSearchPath(const char* fileName);
// Address of an exported symbol, or null.
void* librarySymbol(void* library, const char* name);
// Unloads a handle returned by one of the loaders; null is ignored.
void freeLibrary(void* library);
