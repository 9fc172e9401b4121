#pragma once

#include "camera/shared_library.h"

#include <cstdint>
#include <string>
#include <vector>

// What the test camera library shows a test through its export "fakeCamera"; any thread.
class FakeCamera {
public:
    struct Event {
        char kind;  // 'c' created, 'f' creation failed, 'd' deleted
        int width, height;
        double milliseconds;  // since the last reset
    };

    virtual const char* origin() const = 0;  // which build of the library this is
    virtual std::vector<Event> events() const = 0;
    virtual int framesSent() const = 0;
    // True once at least `count` frames were sent, false after `timeoutMs`.
    virtual bool waitForFrames(int count, int timeoutMs) const = 0;
    virtual std::vector<uint8_t> lastFrame() const = 0;  // camera size; empty when none
    virtual void failCreates(int count) = 0;              // the next `count` creations fail
    virtual void setConnected(bool connected) = 0;        // an application reads the camera
    // While stepping, scSendFrame records its frame, then waits for a step(); leaving frees them all.
    virtual void setStepping(bool stepping) = 0;
    virtual void step() = 0;
    virtual void reset() = 0;  // forgets the events, the frames and every setting

    std::string kinds() const  // the event kinds in order, e.g. "cdc"
    {
        std::string result;
        for (const Event& e : events())
            result += e.kind;
        return result;
    }

protected:
    ~FakeCamera() = default;
};

// Owns a loaded camera library (null allowed) and, when it is the test
// library, its FakeCamera, reset when taken.
class FakeCameraHooks {
public:
    explicit FakeCameraHooks(void* library) : m_library(library)
    {
        if (auto hook = library ? reinterpret_cast<FakeCamera* (*)()>(librarySymbol(library, "fakeCamera")) : nullptr)
            (m_fake = hook())->reset();
    }
    ~FakeCameraHooks() { freeLibrary(m_library); }
    FakeCameraHooks(const FakeCameraHooks&) = delete;
    bool available() const { return m_fake != nullptr; }  // false against the real library
    FakeCamera* operator->() const { return m_fake; }

private:
    void* m_library;
    FakeCamera* m_fake = nullptr;
};
