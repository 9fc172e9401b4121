// Registering and unregistering the virtual camera. The system tool may ask
// for a password, so it runs without blocking the window: the status line
// says what is under way and both buttons stay disabled until it ends.
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
