// Linux registration against a temporary sysfs tree, sockets of the test's
// own and fake elevation tools: shell scripts that record their arguments and
// change the tree as the real commands would.
#include "ui/camera_registrar.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 20000;

enum State { Ours = 1, Other = 2, Control = 4 };
enum class Effect { None, Add, Remove };

// A system under a temporary directory: sysfs in sys/, the elevation tool
// "pkexec" beside it, which writes its arguments to "argv".
class FakeSystem {
public:
    fs::path root() const { return m_dir.path().toStdString(); }
    fs::path device(int number) const
    {
        return root() / "sys/devices/virtual/video4linux" / ("video" + std::to_string(number));
    }

    RegistrationSetup setup(std::chrono::milliseconds limit = 20s) const
    {
        return {(root() / "sys").string(), (root() / "pipewire-0").string(),
                (root() / "pkexec").string(), limit};
    }

    void addDevice(int number, const char* name, bool loopback = true) const
    {
        fs::create_directories(device(number));
        std::ofstream(device(number) / "name") << name << '\n';
        if (loopback) {
            std::ofstream(device(number) / "max_openers") << "10\n";
            fs::create_directories(root() / "sys/module/v4l2loopback");
        }
    }

    // Ours is video7, another program's video3.
    void setState(int state) const
    {
        if (state & Ours)
            addDevice(7, "Orvenna Camera");
        if (state & Other)
            addDevice(3, "Dummy video device");
        if (state & Control)
            fs::create_directories(root() / "sys/devices/virtual/misc/v4l2loopback");
    }

    // `body` finds our device's directory in $ours.
    void writeTool(const std::string& body) const
    {
        const fs::path tool = root() / "pkexec";
        std::ofstream(tool) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << (root() / "argv").string()
                            << "'\nours='" << device(7).string() << "'\n" << body;
        fs::permissions(tool, fs::perms::owner_all);
    }

    // The arguments the tool got; empty when it never ran.
    QStringList toolArguments() const
    {
        QFile file(QString::fromStdString((root() / "argv").string()));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
};

// Starts and waits for finished(); checks the contract on the way.
bool registerAndWait(CameraRegistrar& registrar, bool unregister)
{
    QSignalSpy spy(&registrar, &CameraRegistrar::finished);
    EXPECT_TRUE(registrar.start(unregister));
    EXPECT_TRUE(registrar.isBusy());
    EXPECT_FALSE(registrar.start(unregister));
    EXPECT_EQ(spy.count(), 0) << "finished() from inside start()";
    if (!spy.wait(kWaitMs) || spy.count() != 1) {
        ADD_FAILURE() << "finished() did not come once";
        return false;
    }
    EXPECT_FALSE(registrar.isBusy());
    return spy.at(0).at(0).toBool();
}

// A Unix socket at `path`, listening, or left behind by a daemon that died.
int bindSocket(const std::string& path, bool listening)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    if (listening) {
        EXPECT_EQ(listen(fd, 1), 0);
    }
    return fd;
}

TEST(LinuxRegistration, RegisteredWhenPipeWireAnswersOrOurLoopbackDeviceExists)
{
    enum class Socket { None, Listening, Stale };
    struct Case {
        const char* what;
        Socket socket;
        const char* deviceName;  // null: no video device
        bool loopback;
        bool registered;
    };
    const Case cases[] = {
        {"nothing", Socket::None, nullptr, true, false},
        {"daemon listening", Socket::Listening, nullptr, true, true},
        {"socket of a daemon that died", Socket::Stale, nullptr, true, false},
        {"our device", Socket::None, "Orvenna Camera", true, true},
        {"another program's device", Socket::None, "Dummy video device", true, false},
        {"our label on another driver's device", Socket::None, "Orvenna Camera", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem system;
        if (c.deviceName)
            system.addDevice(0, c.deviceName, c.loopback);
        int fd = -1;
        if (c.socket != Socket::None)
            fd = bindSocket(system.setup().pipewireSocket, c.socket == Socket::Listening);
        EXPECT_EQ(CameraRegistrar(system.setup()).isRegistered(), c.registered);
        if (fd >= 0)
            close(fd);
    }
}

TEST(LinuxRegistration, PipeWireSocketFollowsTheEnvironment)
{
    struct Case {
        const char* remote;
        const char* pipewireDir;
        const char* xdgDir;
        std::string socket;
    };
    const Case cases[] = {
        {nullptr, nullptr, "/run/user/7", "/run/user/7/pipewire-0"},
        {nullptr, "/tmp/pw", "/run/user/7", "/tmp/pw/pipewire-0"},
        {"other-0", nullptr, "/run/user/7", "/run/user/7/other-0"},
        {"/tmp/pw/socket", "/tmp/pw", "/run/user/7", "/tmp/pw/socket"},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        const auto set = [](const char* name, const char* value) {
            value ? setenv(name, value, 1) : unsetenv(name);
        };
        set("PIPEWIRE_REMOTE", c.remote);
        set("PIPEWIRE_RUNTIME_DIR", c.pipewireDir);
        set("XDG_RUNTIME_DIR", c.xdgDir);
        EXPECT_EQ(systemRegistrationSetup().pipewireSocket, c.socket) << "case " << (&c - cases);
    }
}

TEST(LinuxRegistration, AddsAndRemovesOnlyOurDevice)
{
    const QStringList modprobeAdd = {"/sbin/modprobe", "v4l2loopback", "devices=1",
                                     "exclusive_caps=1", "card_label=\"Orvenna Camera\""};
    const QStringList modprobeRemove = {"/sbin/modprobe", "-r", "v4l2loopback"};
    const QStringList ctlAdd = {"/usr/bin/v4l2loopback-ctl", "add", "-n", "Orvenna Camera", "-x", "1"};
    const QStringList ctlDelete = {"/usr/bin/v4l2loopback-ctl", "delete", "/dev/video7"};
    struct Case {
        const char* what;
        int state;
        bool unregister;
        Effect effect;
        int exitCode;
        bool ok;
        QStringList argv;  // empty: the tool must not run
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem system;
        system.setState(c.state);
        const char* effects[] = {
            "",
            "mkdir -p \"$ours\" && echo 'Orvenna Camera' > \"$ours/name\" && : > \"$ours/max_openers\"\n",
            "rm -r \"$ours\"\n",
        };
        const std::string effect = effects[static_cast<int>(c.effect)];
        system.writeTool(effect + "exit " + std::to_string(c.exitCode) + "\n");

        CameraRegistrar registrar(system.setup());
        EXPECT_EQ(registerAndWait(registrar, c.unregister), c.ok);
        EXPECT_EQ(system.toolArguments(), c.argv);
    }
}

TEST(LinuxRegistration, ToolThatCannotStartOrOutlastsTheLimitFails)
{
    FakeSystem system;
    {
        CameraRegistrar missing(system.setup());
        EXPECT_FALSE(registerAndWait(missing, false));
    }

    const std::string fifo = (system.root() / "running").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    system.writeTool("exec 3> '" + fifo + "'\nexec sleep 60\n");
    CameraRegistrar registrar(system.setup(50ms));
    QSignalSpy spy(&registrar, &CameraRegistrar::finished);
    ASSERT_TRUE(registrar.start(false));
    auto* process = registrar.findChild<QProcess*>();
    ASSERT_NE(process, nullptr);
    QSignalSpy reaped(process, &QObject::destroyed);
    // Returns once the tool holds the write end; the limit cannot strike
    // before, as its timer needs the event loop.
    const int running = open(fifo.c_str(), O_RDONLY);
    ASSERT_GE(running, 0);
    ASSERT_TRUE(spy.wait(kWaitMs));
    EXPECT_FALSE(spy.at(0).at(0).toBool());
    // The write end closes when the tool is killed, not when its sleep ends.
    pollfd hangUp = {running, POLLIN, 0};
    EXPECT_EQ(poll(&hangUp, 1, kWaitMs), 1);
    EXPECT_TRUE(hangUp.revents & POLLHUP);
    close(running);
    EXPECT_TRUE(reaped.count() == 1 || reaped.wait(kWaitMs)) << "the killed tool is not reaped";
}

} // namespace
