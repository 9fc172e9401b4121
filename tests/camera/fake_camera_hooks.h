#pragma once

#include "camera/shared_library.h"

#include <cstdint>
#include <string>
#include <vector>

// The inspection hooks of the test camera library (fake_softcam.cpp). Against
// the real camera library they are absent and available() is false; tests
// that need them skip.
class FakeCameraHooks {
public:
    // Takes over a module handle (null allowed).
    explicit FakeCameraHooks(void* library) : m_library(library)
    {
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

    bool available() const { return m_complete; }

    struct Event {
        char kind = 0;  // 'c' created, 'f' creation failed, 'd' deleted
        int width = 0;
        int height = 0;
        double milliseconds = 0.0;  // since the first event
    };
    std::vector<Event> events() const
    {
        std::vector<Event> list;
        for (Event e; event(static_cast<int>(list.size()), &e.kind, &e.width, &e.height, &e.milliseconds);)
            list.push_back(e);
        return list;
    }
    // The event kinds in order, e.g. "cdc".
    std::string kinds() const
    {
        std::string result;
        for (const Event& e : events())
            result += e.kind;
        return result;
    }

    // The last frame sent (camera size); empty when none.
    std::vector<uint8_t> lastFrame() const
    {
        std::vector<uint8_t> frame(static_cast<size_t>(lastFrameInto(nullptr, 0)));
        lastFrameInto(frame.data(), static_cast<int>(frame.size()));
        return frame;
    }

private:
    void* m_library = nullptr;
    bool m_complete = true;  // every hook below resolved (none without a library)

    template <typename Function>
    Function hook(const char* name)
    {
        auto function = reinterpret_cast<Function>(librarySymbol(m_library, name));
        m_complete = m_complete && function;
        return function;
    }

    bool (*event)(int, char*, int*, int*, double*) = hook<decltype(event)>("fakeEvent");
    int (*lastFrameInto)(void*, int) = hook<decltype(lastFrameInto)>("fakeLastFrame");

public:
    const char* (*origin)() = hook<decltype(origin)>("fakeOrigin");
    void (*failCreates)(int) = hook<decltype(failCreates)>("fakeFailCreates");
    void (*setConnected)(bool) = hook<decltype(setConnected)>("fakeSetConnected");
    bool (*cameraExists)() = hook<decltype(cameraExists)>("fakeCameraExists");
    int (*framesSent)() = hook<decltype(framesSent)>("fakeFramesSent");
    bool (*waitForFrames)(int, int) = hook<decltype(waitForFrames)>("fakeWaitForFrames");
    void (*setStepping)(bool) = hook<decltype(setStepping)>("fakeSetStepping");
    void (*step)() = hook<decltype(step)>("fakeStep");
    void (*reset)() = hook<decltype(reset)>("fakeReset");
};
