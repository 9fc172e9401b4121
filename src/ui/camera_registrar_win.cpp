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
    // From the event loop, once the caller has shown what is under way; one
    // round of events paints it before the tool blocks the thread.
    QMetaObject::invokeMethod(
        this,
        [this, unregister] {
            QCoreApplication::processEvents();
            finishLater(runRegsvr32(unregister));
        },
        Qt::QueuedConnection);
    return true;
}
