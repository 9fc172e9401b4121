#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the test camera library (fake_softcam.cpp) shows a test besides the
// five entry points, through its one extra export "fakeCamera". Every call
// runs inside the library and may come from any thread.
class FakeCamera {
public:
    struct Event {
        char kind;  // 'c' created, 'f' creation failed, 'd' deleted
        int width;
        int height;
        double milliseconds;  // since the first event
    };

    virtual const char* origin() const = 0;  // which build of the library this is
    virtual std::vector<Event> events() const = 0;
    virtual bool cameraExists() const = 0;
    virtual int framesSent() const = 0;
    // True once at least `count` frames were sent, false after `timeoutMs`.
    virtual bool waitForFrames(int count, int timeoutMs) const = 0;
    // The last frame sent (camera size); empty when none.
    virtual std::vector<uint8_t> lastFrame() const = 0;
    // The next `count` creations fail.
    virtual void failCreates(int count) = 0;
    // Whether an application reads the camera, from now on.
    virtual void setConnected(bool connected) = 0;
    // While stepping, scSendFrame records its frame and then waits for a
    // permit from step() before it returns; leaving stepping frees every waiter.
    virtual void setStepping(bool stepping) = 0;
    virtual void step() = 0;
    // Forgets the events, the frames and every setting.
    virtual void reset() = 0;

    // The event kinds in order, e.g. "cdc".
    std::string kinds() const
    {
        std::string result;
        for (const Event& e : events())
            result += e.kind;
        return result;
    }

protected:
    ~FakeCamera() = default;
};
