#include "ui/camera_registrar.h"

#include "camera/camera_registration.h"

#include <QCoreApplication>

CameraRegistrar::CameraRegistrar(QObject* parent)
    : QObject(parent)
{
}

CameraRegistrar::State CameraRegistrar::state() const
{
    return isSoftcamRegistered() ? State::Registered : State::NotRegistered;
}

bool CameraRegistrar::start(bool unregister)
{
    if (m_busy)
        return false;
    m_busy = true;
    // Paint the window's new status text before the thread blocks.
    QCoreApplication::processEvents();
    finishLater(runRegsvr32(unregister));
    return true;
}
