#pragma once

#include "camera/shared_library.h"
#include "fake_camera.h"

// A loaded camera library and, when it is the test library, its FakeCamera,
// reset when taken and when let go. Against the real camera library
// available() is false; tests that need the fake skip.
class FakeCameraHooks {
public:
    // Takes over a module handle (null allowed).
    explicit FakeCameraHooks(void* library)
        : m_library(library),
          m_fake(library ? reinterpret_cast<FakeCamera* (*)()>(librarySymbol(library, "fakeCamera")) : nullptr)
    {
        if (available())
            m_fake()->reset();
    }
    ~FakeCameraHooks()
    {
        if (available())
            m_fake()->reset();
        freeLibrary(m_library);
    }
    FakeCameraHooks(const FakeCameraHooks&) = delete;
    FakeCameraHooks& operator=(const FakeCameraHooks&) = delete;

    // The module the binding uses: beside the program, else the search path.
    static void* openAsTheBindingDoes()
    {
        void* library = loadLibraryBesideProgram(kCameraLibraryName);
        return library ? library : loadLibraryFromSearchPath(kCameraLibraryName);
    }

    bool available() const { return m_fake != nullptr; }
    FakeCamera* operator->() const { return m_fake(); }

private:
    void* m_library;
    FakeCamera* (*m_fake)();
};
