#pragma once

#include "camera/camera_registration_linux.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

enum State { Ours = 1, Other = 2, Control = 4 };
enum class Effect { None, Add, Remove };

// A system under a temporary directory: sysfs in sys/, no PipeWire daemon, and
// the elevation tool "pkexec", a script that writes its arguments to "argv".
class FakeSystem {
public:
    std::filesystem::path root() const { return m_dir.path().toStdString(); }
    std::filesystem::path device(int number) const
    {
        return root() / "sys/devices/virtual/video4linux" / ("video" + std::to_string(number));
    }
    RegistrationSetup setup(std::chrono::milliseconds limit = std::chrono::seconds(20)) const
    {
        return {(root() / "sys").string(), (root() / "pipewire-0").string(), (root() / "pkexec").string(), limit};
    }

    void addDevice(int number, const char* name, bool loopback = true) const
    {
        std::filesystem::create_directories(device(number));
        std::ofstream(device(number) / "name") << name << '\n';
        if (loopback)
            std::ofstream(device(number) / "max_openers") << "10\n",
                std::filesystem::create_directories(root() / "sys/module/v4l2loopback");
    }
    // Ours is video7, another program's video3.
    void setState(int state) const
    {
        if (state & Ours)
            addDevice(7, "Orvenna Camera");
        if (state & Other)
            addDevice(3, "Dummy video device");
        if (state & Control)
            std::filesystem::create_directories(root() / "sys/devices/virtual/misc/v4l2loopback");
    }

    // `body` finds our device's directory in $ours.
    void writeTool(const std::string& body) const
    {
        const std::filesystem::path tool = root() / "pkexec";
        std::ofstream(tool) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << (root() / "argv").string() << "'\nours='"
                            << device(7).string() << "'\n" << body;
        std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    }
    void writeTool(Effect effect, int exitCode) const
    {
        const char* effects[] = {
            "", "mkdir -p \"$ours\" && echo 'Orvenna Camera' > \"$ours/name\" && : > \"$ours/max_openers\"\n",
            "rm -r \"$ours\"\n"};
        writeTool(effects[int(effect)] + ("exit " + std::to_string(exitCode) + "\n"));
    }

    // The arguments the tool got; empty when it never ran.
    QStringList toolArguments() const
    {
        QFile file(QString::fromStdString((root() / "argv").string()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                              : QStringList();
    }

private:
    QTemporaryDir m_dir;
};
