#pragma once

#include <chrono>
#include <string>
#include <vector>

// Making the virtual camera known on Linux. Applications see it through the
// user's PipeWire daemon (where the camera library publishes it) or, for
// those that speak only V4L2, through a v4l2loopback device labelled
// SOFTCAM_CAMERA_NAME (softcam.h), which an elevated command adds or removes. Qt-free: the
// window's registrar runs the commands planned here.

// What the registration probes and runs. Tests point it at a temporary sysfs
// tree, their own socket and a fake elevation tool.
struct RegistrationSetup {
    std::string sysfsRoot;       // "/sys"
    std::string pipewireSocket;  // empty when no runtime directory is known
    std::string elevationTool;   // runs its arguments as root, e.g. pkexec
    std::chrono::milliseconds timeLimit;  // for the elevated command, password prompt included
};

// The real system: /sys, the PipeWire socket named by the environment,
// pkexec, two minutes.
RegistrationSetup systemRegistrationSetup();

// A PipeWire daemon accepts connections on the socket. Cheap: one connect().
bool pipewireReachable(const std::string& socketPath);

// Our v4l2loopback device exists in sysfs. Cheap: one small directory scan.
bool cameraDevicePresent(const std::string& sysfsRoot);

// What registering (or unregistering) takes, judged from sysfs before
// anything runs.
struct RegistrationStep {
    enum class Kind {
        Done,     // the system already shows the outcome asked for
        Refused,  // it cannot be had without touching another program's devices
        Run,      // run `command`: the elevation tool, then what it runs
    };
    Kind kind = Kind::Refused;
    std::vector<std::string> command;
};
RegistrationStep planRegistration(const RegistrationSetup& setup, bool unregister);
