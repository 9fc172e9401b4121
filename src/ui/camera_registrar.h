#pragma once

#include <QObject>

#ifndef _WIN32
#include "camera/camera_registration_linux.h"
#endif

// Makes the virtual camera known to the system, or removes it, and tells
// whether it is known. One neutral interface over the platform's way:
// Windows registers the camera library's filter with regsvr32, Linux creates
// a v4l2loopback device through the elevation tool. Lives on the GUI thread.
class CameraRegistrar : public QObject {
    Q_OBJECT
public:
    explicit CameraRegistrar(QObject* parent = nullptr);
#ifndef _WIN32
    // Probes and changes `setup` instead of the real system (tests).
    explicit CameraRegistrar(RegistrationSetup setup, QObject* parent = nullptr);
#endif
    ~CameraRegistrar() override;

    // Who can see the camera while it streams.
    enum class State {
        // What Register makes and Unregister removes exists. Windows: the
        // registered filter; Linux: our v4l2loopback device.
        Registered,
        // Linux: no device, but a PipeWire session is reachable: PipeWire
        // programs see the camera, V4L2-only ones need Register.
        PipeWire,
        NotRegistered,
    };
    // Asks the system afresh; cheap enough for every refresh of the window.
    State state() const;
    // A register or unregister is under way; start() refuses a second one.
    bool isBusy() const;
    // Starts registering (or, with `unregister`, removing) the camera.
    // finished() always follows later, from the event loop, never from
    // inside this call. False, with no signal, while busy. Windows: the
    // tool runs inside this call (at most about 10 s); Linux: in the
    // background, bounded by the setup's time limit.
    bool start(bool unregister);

signals:
    // The tool ran and the system now shows the outcome asked for.
    void finished(bool ok);

private:
    // Ends the busy state and emits finished(ok) from the event loop.
    void finishLater(bool ok);

    bool m_busy = false;
#ifndef _WIN32
    RegistrationSetup m_setup;
#endif
};
