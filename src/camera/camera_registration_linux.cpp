#include "camera/camera_registration_linux.h"

#include "loopback_devices.h"

#include <softcam.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr char kModule[] = "v4l2loopback";
// Absolute paths: the elevation tool does not search a user's PATH for
// programs, and Debian users' PATH has no /sbin anyway.
constexpr char kModprobe[] = "/sbin/modprobe";
constexpr char kLoopbackCtl[] = "/usr/bin/v4l2loopback-ctl";
std::string pipewireSocketPath()
{
    const char* remote = std::getenv("PIPEWIRE_REMOTE");
    const std::string name = remote && *remote ? remote : "pipewire-0";
    if (name.front() == '/')
        return name;
    for (const char* variable : {"PIPEWIRE_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
        const char* directory = std::getenv(variable);
        if (directory && *directory)
            return std::string(directory) + "/" + name;
    }
    return {};
}

bool sysfsHas(const std::string& sysfsRoot, const char* path)
{
    std::error_code error;
    return fs::exists(sysfsRoot + path, error);
}

} // namespace

RegistrationSetup systemRegistrationSetup()
{
    return {"/sys", pipewireSocketPath(), "pkexec", std::chrono::minutes(2)};
}

bool cameraDevicePresent(const std::string& sysfsRoot)
{
    return findLoopbackDevice(sysfsRoot, SOFTCAM_CAMERA_NAME).has_value();
}

bool pipewireReachable(const std::string& socketPath)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    // Non-blocking, so that a daemon with a full backlog cannot stall a refresh.
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int result = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    // EAGAIN: a daemon listens but its backlog is full.
    const bool reachable = result == 0 || errno == EAGAIN;
    close(fd);
    return reachable;
}

RegistrationStep planRegistration(const RegistrationSetup& setup, bool unregister)
{
    std::vector<std::string> ours;
    bool othersExist = false;
    for (const LoopbackDevice& device : loopbackDevices(setup.sysfsRoot)) {
        if (hasLabel(device, SOFTCAM_CAMERA_NAME))
            ours.push_back("/dev/video" + std::to_string(device.number));
        else
            othersExist = true;
    }
    // Modules from 0.13 on add and remove single devices through a control
    // device; older ones make their devices only while the module loads.
    const bool control = sysfsHas(setup.sysfsRoot, "/devices/virtual/misc/v4l2loopback");
    using Kind = RegistrationStep::Kind;
    RegistrationStep run{Kind::Run, {setup.elevationTool}};

    if (!unregister) {
        if (!ours.empty())
            return {Kind::Done, {}};
        if (control) {
            run.command.insert(run.command.end(), {kLoopbackCtl, "add", "-n", SOFTCAM_CAMERA_NAME, "-x", "1"});
            return run;
        }
        // Loaded for another program: modprobe would succeed and add nothing.
        if (sysfsHas(setup.sysfsRoot, "/module/v4l2loopback"))
            return {Kind::Refused, {}};
        run.command.insert(run.command.end(),
                           {kModprobe, kModule, "devices=1", "exclusive_caps=1",
                            std::string("card_label=\"") + SOFTCAM_CAMERA_NAME + "\""});
        return run;
    }

    if (ours.empty())
        return {Kind::Done, {}};
    if (control) {
        run.command.insert(run.command.end(), {kLoopbackCtl, "delete"});
        run.command.insert(run.command.end(), ours.begin(), ours.end());
        return run;
    }
    // Unloading the module would take the other program's devices with ours.
    if (othersExist)
        return {Kind::Refused, {}};
    run.command.insert(run.command.end(), {kModprobe, "-r", kModule});
    return run;
}
