#include "ui/camera_registrar.h"

#include <QProcess>
#include <QTimer>

CameraRegistrar::CameraRegistrar(QObject* parent)
    : CameraRegistrar(systemRegistrationSetup(), parent)
{
}

CameraRegistrar::CameraRegistrar(RegistrationSetup setup, QObject* parent)
    : QObject(parent)
    , m_setup(std::move(setup))
{
}

CameraRegistrar::State CameraRegistrar::state() const
{
    if (cameraDevicePresent(m_setup.sysfsRoot))
        return State::Registered;
    return pipewireReachable(m_setup.pipewireSocket) ? State::PipeWire : State::NotRegistered;
}

bool CameraRegistrar::start(bool unregister)
{
    if (m_busy)
        return false;
    m_busy = true;
    const RegistrationStep step = planRegistration(m_setup, unregister);
    if (step.kind != RegistrationStep::Kind::Run) {
        finishLater(step.kind == RegistrationStep::Kind::Done);
        return true;
    }

    // The elevation tool waits for a password: run it in the background.
    auto* process = new QProcess(this);
    auto* limit = new QTimer(process);
    limit->setSingleShot(true);
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    // The first outcome counts; later signals of the process go unheard.
    const auto conclude = [this, process, limit](bool ok) {
        limit->stop();
        disconnect(process, nullptr, this, nullptr);
        finishLater(ok);
    };
    connect(process, &QProcess::finished, this,
            [this, conclude, unregister](int exitCode, QProcess::ExitStatus status) {
                // Success means the device is now there (or gone): a module
                // that was loaded already, for instance, adds nothing.
                conclude(status == QProcess::NormalExit && exitCode == 0
                         && cameraDevicePresent(m_setup.sysfsRoot) != unregister);
            });
    connect(process, &QProcess::errorOccurred, this,
            [process, conclude](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart)
                    return;
                conclude(false);
                process->deleteLater();
            });
    connect(limit, &QTimer::timeout, this, [process, conclude] {
        conclude(false);
        process->kill();
    });

    QStringList arguments;
    for (size_t i = 1; i < step.command.size(); ++i)
        arguments.append(QString::fromStdString(step.command[i]));
    limit->start(m_setup.timeLimit);
    process->start(QString::fromStdString(step.command.front()), arguments);
    return true;
}
