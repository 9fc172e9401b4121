#pragma once

#include "camera/shared_library.h"

#include <cstdint>
#include <vector>

// The inspection hooks of the test camera library (fake_softcam.cpp). Against
// the real camera library they are absent and available() is false; tests
// that need them skip.
class FakeCameraHooks {
public:
    // Takes over a module handle (null allowed).
    explicit FakeCameraHooks(void* library) : m_library(library)
    {
        resolve("fakeOrigin", origin);
        resolve("fakeFailCreates", failCreates);
        resolve("fakeEventCount", eventCount);
        resolve("fakeEvent", event);
        resolve("fakeCameraExists", cameraExists);
        resolve("fakeFramesSent", framesSent);
        resolve("fakeWaitForFrames", waitForFrames);
        resolve("fakeLastFrame", lastFrameInto);
        resolve("fakeSetStepping", setStepping);
        resolve("fakeStep", step);
        resolve("fakeReset", reset);
        if (available())
            reset();
    }
    // The module the binding uses: beside the program, else the search path.
    static void* openAsTheBindingDoes()
    {
        void* library = loadLibraryBesideProgram(kCameraLibraryName);
        return library ? library : loadLibraryFromSearchPath(kCameraLibraryName);
    }
    ~FakeCameraHooks()
    {
        if (available())
            reset();
        freeLibrary(m_library);
    }
    FakeCameraHooks(const FakeCameraHooks&) = delete;
    FakeCameraHooks& operator=(const FakeCameraHooks&) = delete;

    bool available() const { return origin && failCreates && eventCount && event && cameraExists
                                    && framesSent && waitForFrames && lastFrameInto
                                    && setStepping && step && reset; }

    // The last frame sent, with its size; empty when none.
    std::vector<uint8_t> lastFrame(int& width, int& height) const
    {
        width = height = 0;
        std::vector<uint8_t> frame(static_cast<size_t>(lastFrameInto(nullptr, 0, &width, &height)));
        lastFrameInto(frame.data(), static_cast<int>(frame.size()), &width, &height);
        return frame;
    }

    const char* (*origin)() = nullptr;
    void (*failCreates)(int) = nullptr;
    int (*eventCount)() = nullptr;
    bool (*event)(int, char*, int*, int*, double*) = nullptr;
    bool (*cameraExists)() = nullptr;
    int (*framesSent)() = nullptr;
    bool (*waitForFrames)(int, int) = nullptr;
    int (*lastFrameInto)(void*, int, int*, int*) = nullptr;
    void (*setStepping)(bool) = nullptr;
    void (*step)() = nullptr;
    void (*reset)() = nullptr;

private:
    template <typename Function>
    void resolve(const char* name, Function& function)
    {
        function = reinterpret_cast<Function>(librarySymbol(m_library, name));
    }

    void* m_library = nullptr;
};
