// The window's words and control states: retranslateUi() sets every
// translatable text, updateControls() derives what is enabled and how Play
// looks from the registration, the loaded file and the stream.
#include "ui/main_window.h"

#include "ui/camera_registrar.h"
#include "ui/clickable_slider.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <softcam.h>

#include <limits>

QString formatTime(double seconds)
{
    // Negative, NaN and values past the 32-bit range all count as 0.
    const bool inRange = seconds >= 0.0 && seconds < double(std::numeric_limits<int32_t>::max()) + 1.0;
    const int32_t whole = inRange ? static_cast<int32_t>(seconds) : 0;
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

void MainWindow::retranslateUi()
{
    setWindowTitle(tr("Orvenna v%1").arg(QCoreApplication::applicationVersion()));
    m_fileMenu->setTitle(tr("&File"));
    m_openAction->setText(tr("&Open media..."));
    m_closeMediaAction->setText(tr("&Close media"));
    m_quitAction->setText(tr("&Quit"));
    m_settingsMenu->setTitle(tr("&Settings"));
    m_minimizeToTrayAction->setText(tr("Minimize to tray on close"));
    if (m_sendSoundAction)
        m_sendSoundAction->setText(tr("Send sound as a microphone"));
    if (m_analyticsAction)
        m_analyticsAction->setText(tr("Send anonymous usage statistics"));
    m_languageMenu->setTitle(tr("&Language"));
    if (m_autoLanguageAction)
        m_autoLanguageAction->setText(tr("Auto (system)"));
    m_helpMenu->setTitle(tr("&Help"));
    m_aboutAction->setText(tr("&About Orvenna"));
    m_stopButton->setText(tr(" Stop"));
    m_sourceGroup->setTitle(tr("Source"));
    m_openButton->setText(tr(" Open media..."));
    // Room for the whole placeholder, whatever the label shows now; a file's
    // name takes what room there is.
    const QString noFile = tr("No file selected");
    m_fileLabel->setMinimumWidth(m_fileLabel->fontMetrics().boundingRect(0, 0, 2000, 100, Qt::AlignLeft, noFile).width());
    if (m_currentFile.isEmpty())
        m_fileLabel->setText(noFile);
    m_resolutionLabel->setText(tr("Resolution:"));
    m_loopCheck->setText(tr("Loop"));
    m_stretchCheck->setText(tr("Stretch"));
    m_mirrorCheck->setText(tr("Mirror"));
    m_cameraGroup->setTitle(tr("Virtual Camera"));
    m_registerButton->setText(tr(" Register"));
    m_unregisterButton->setText(tr(" Unregister"));
    m_statusCaptionLabel->setText(tr("Status:"));
    if (m_trayShowAction)
        m_trayShowAction->setText(tr("Show Orvenna"));
    if (m_trayOpenAction)
        m_trayOpenAction->setText(tr("Open media..."));
    if (m_trayQuitAction)
        m_trayQuitAction->setText(tr("Quit"));
    updateControls();
}

void MainWindow::updateControls()
{
    using Registration = CameraRegistrar::State;
    const Registration registration = m_registrar->state();
    const bool registered = registration == Registration::Registered;
    // While the tool runs, neither button may start a second one.
    const bool registering = m_registrar->isBusy();
    const bool fileLoaded = !m_currentFile.isEmpty() && !m_loader.isBusy();
    const bool streaming = m_sender.m_running;
    const bool playing = streaming && !m_sender.m_paused;
    const bool canPlay = registration != Registration::NotRegistered && fileLoaded;

    m_registerButton->setEnabled(!registered && !registering);
    m_unregisterButton->setEnabled(registered && !registering);
    const QString seen = QStringLiteral("<span style='color: #2a2;font-weight:bold;'>\u2713 %1</span>");
    m_registrationLabel->setText(
        registered ? seen.arg(tr("Registered"))
        : registration == Registration::PipeWire
            ? seen.arg(tr("PipeWire"))
            : QStringLiteral("<span style='color: #888;'>\u2717 %1</span>").arg(tr("Not registered")));
    m_registrationLabel->setToolTip(
        registration == Registration::PipeWire
            ? tr("Programs that use PipeWire cameras see %1.").arg(QStringLiteral(SOFTCAM_CAMERA_NAME)) + u'\n'
                  + tr("Register adds it for programs that only open /dev/video*.")
            : QString());
    m_playButton->setEnabled(canPlay);
    m_stopButton->setEnabled(streaming);
    m_resolutionCombo->setEnabled(!streaming);
    m_seekSlider->setEnabled(fileLoaded && m_isVideo);
    if (m_closeMediaAction)  // also ends a load
        m_closeMediaAction->setEnabled(!m_currentFile.isEmpty());
    m_playButton->setIcon(QIcon(playing ? QStringLiteral(":/icons/pause.svg") : QStringLiteral(":/icons/play.svg")));
    m_playButton->setText(playing ? tr(" Pause") : tr(" Play"));
    if (m_trayPlayAction) {
        m_trayPlayAction->setEnabled(canPlay);
        m_trayPlayAction->setText(playing ? tr("Pause") : tr("Play"));
    }
    if (m_trayStopAction)
        m_trayStopAction->setEnabled(streaming);
}
