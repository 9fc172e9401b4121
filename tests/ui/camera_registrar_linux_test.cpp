// Linux registration on a temporary sysfs tree, own sockets and fake elevation tools that change it.
#include "ui/camera_registrar.h"

#include "fake_system.h"

#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <utility>

using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 20000;

// Starts and waits for finished(); checks the contract on the way.
bool registerAndWait(CameraRegistrar& registrar, bool unregister)
{
    QSignalSpy spy(&registrar, &CameraRegistrar::finished);
    EXPECT_TRUE(registrar.start(unregister) && registrar.isBusy());
    EXPECT_FALSE(registrar.start(unregister));
    EXPECT_EQ(spy.count(), 0) << "finished() from inside start()";
    const bool once = spy.wait(kWaitMs) && spy.count() == 1;
    EXPECT_TRUE(once && !registrar.isBusy()) << "finished() did not come once";
    return once && spy.at(0).at(0).toBool();
}

// Registered: our loopback device exists; else PipeWire: a daemon answers on the socket.
TEST(LinuxRegistration, StateFollowsOurLoopbackDeviceThenPipeWire)
{
    enum Socket { None, Listening, Stale };  // stale: left by a daemon that died
    using State = CameraRegistrar::State;
    const struct {
        Socket socket;
        const char* deviceName;  // null: no video device
        bool loopback;
        State state;
    } cases[] = {
        {None, nullptr, true, State::NotRegistered},       {Listening, nullptr, true, State::PipeWire},
        {Stale, nullptr, true, State::NotRegistered},      {None, "Orvenna Camera", true, State::Registered},
        {Listening, "Orvenna Camera", true, State::Registered},
        {None, "Dummy video device", true, State::NotRegistered},
        {None, "Orvenna Camera", false, State::NotRegistered},  // our label on another driver's device
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        FakeSystem system;
        if (c.deviceName)
            system.addDevice(0, c.deviceName, c.loopback);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {AF_UNIX, {}};
        system.setup().pipewireSocket.copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_TRUE(c.socket == None || (!bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) &&
                                         (c.socket == Stale || !listen(fd, 1))));
        EXPECT_EQ(CameraRegistrar(system.setup()).state(), c.state);
        close(fd);
    }
}

TEST(LinuxRegistration, PipeWireSocketFollowsTheEnvironment)
{
    const struct {
        const char *remote, *pipewireDir, *xdgDir;
        std::string socket;
    } cases[] = {{nullptr, nullptr, "/run/user/7", "/run/user/7/pipewire-0"},
                 {nullptr, "/tmp/pw", "/run/user/7", "/tmp/pw/pipewire-0"},
                 {"other-0", nullptr, "/run/user/7", "/run/user/7/other-0"},
                 {"/tmp/pw/socket", "/tmp/pw", "/run/user/7", "/tmp/pw/socket"}, {nullptr, nullptr, nullptr, ""}};
    for (const auto& c : cases) {
        for (auto [name, value] : {std::pair{"PIPEWIRE_REMOTE", c.remote}, {"PIPEWIRE_RUNTIME_DIR", c.pipewireDir},
                                   {"XDG_RUNTIME_DIR", c.xdgDir}})
            value ? setenv(name, value, 1) : unsetenv(name);
        EXPECT_EQ(systemRegistrationSetup().pipewireSocket, c.socket) << "case " << (&c - cases);
    }
}

TEST(LinuxRegistration, AddsAndRemovesOnlyOurDevice)
{
    const QStringList modprobeAdd = {"/sbin/modprobe", "v4l2loopback", "devices=1", "exclusive_caps=1",
                                     "card_label=\"Orvenna Camera\""};
    const QStringList modprobeRemove = {"/sbin/modprobe", "-r", "v4l2loopback"};
    const QStringList ctlAdd = {"/usr/bin/v4l2loopback-ctl", "add", "-n", "Orvenna Camera", "-x", "1"};
    const QStringList ctlDelete = {"/usr/bin/v4l2loopback-ctl", "delete", "/dev/video7"};
    const struct {
        const char* what;
        int state;
        bool unregister;
        Effect effect;
        int exitCode;
        bool ok;
        QStringList argv;  // empty: the tool must not run
    } cases[] = {
        {"load the module with our device", 0, false, Effect::Add, 0, true, modprobeAdd},
        {"tool succeeds and adds nothing", 0, false, Effect::None, 0, false, modprobeAdd},
        {"tool fails after adding ours", 0, false, Effect::Add, 1, false, modprobeAdd},
        {"module loaded for another program", Other, false, Effect::None, 0, false, {}},
        {"control device: ours beside another", Other | Control, false, Effect::Add, 0, true, ctlAdd},
        {"ours exists already", Ours, false, Effect::None, 0, true, {}},
        {"unload a module that holds only ours", Ours, true, Effect::Remove, 0, true, modprobeRemove},
        {"module shared with another program", Ours | Other, true, Effect::None, 0, false, {}},
        {"control device: delete ours only", Ours | Other | Control, true, Effect::Remove, 0, true, ctlDelete},
        {"tool succeeds and ours remains", Ours | Control, true, Effect::None, 0, false, ctlDelete},
        {"nothing of ours to remove", Other, true, Effect::None, 0, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem system;
        system.setState(c.state);
        system.writeTool(c.effect, c.exitCode);
        CameraRegistrar registrar(system.setup());
        EXPECT_EQ(registerAndWait(registrar, c.unregister), c.ok);
        EXPECT_EQ(system.toolArguments(), c.argv);
    }
}

TEST(LinuxRegistration, ToolThatCannotStartOrOutlastsTheLimitFails)
{
    FakeSystem system;
    EXPECT_FALSE(registerAndWait(*std::make_unique<CameraRegistrar>(system.setup()), false));  // no tool

    const std::string fifo = (system.root() / "running").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    system.writeTool("exec 3> '" + fifo + "'\nexec sleep 60\n");
    CameraRegistrar registrar(system.setup(50ms));
    QSignalSpy spy(&registrar, &CameraRegistrar::finished);
    ASSERT_TRUE(registrar.start(false));
    auto* process = registrar.findChild<QProcess*>();
    ASSERT_NE(process, nullptr);
    QSignalSpy reaped(process, &QObject::destroyed);
    // Returns once the tool holds the write end; the limit's timer needs the event loop.
    const int running = open(fifo.c_str(), O_RDONLY);
    ASSERT_GE(running, 0);
    ASSERT_TRUE(spy.wait(kWaitMs));
    EXPECT_FALSE(spy.at(0).at(0).toBool());
    pollfd hangUp = {running, POLLIN, 0};  // the write end closes when the tool is killed, not after its sleep
    EXPECT_TRUE(poll(&hangUp, 1, kWaitMs) == 1 && (hangUp.revents & POLLHUP));
    close(running);
    EXPECT_TRUE(reaped.count() == 1 || reaped.wait(kWaitMs)) << "the killed tool is not reaped";
}

} // namespace
