// Registering and unregistering the virtual camera. The status line says
// what is under way and both buttons stay disabled until the system tool
// ends (Linux: in the background; Windows: blocking the window up to 10 s,
// once what it shows has been painted).
#include "ui/main_window.h"

#include "ui/camera_registrar.h"

#include <QLabel>

void MainWindow::onRegister()
{
    startRegistration(false);
}

void MainWindow::onUnregister()
{
    startRegistration(true);
}

void MainWindow::startRegistration(bool unregister)
{
    if (m_registrar->isBusy())
        return;
    // Applications must lose the stream before the camera goes away.
    if (unregister)
        onStop();
    if (!m_registrar->start(unregister))
        return;
    m_statusLabel->setText(unregister ? tr("Unregistering...") : tr("Registering..."));
    updateControls();
    connect(
        m_registrar, &CameraRegistrar::finished, this,
        [this, unregister](bool ok) {
            if (unregister)
                m_statusLabel->setText(ok ? tr("Camera unregistered.") : tr("Failed."));
            else
                m_statusLabel->setText(ok ? tr("Camera registered!") : tr("Registration failed."));
            updateControls();
        },
        Qt::SingleShotConnection);
}
