#include "ui/camera_registrar.h"

CameraRegistrar::~CameraRegistrar() = default;

bool CameraRegistrar::isBusy() const
{
    return m_busy;
}

void CameraRegistrar::finishLater(bool ok)
{
    QMetaObject::invokeMethod(
        this,
        [this, ok] {
            m_busy = false;
            emit finished(ok);
        },
        Qt::QueuedConnection);
}
