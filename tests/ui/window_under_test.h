#pragma once

#include "fake_system.h"
#include "ui/camera_registrar.h"
#include "ui/main_window.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include <memory>

// The window with its state opened up: tests set what the refresh reads and
// read what it writes.
class WindowUnderTest : public MainWindow {
public:
    using MainWindow::m_closeMediaAction, MainWindow::m_currentFile, MainWindow::m_fileLabel,
        MainWindow::m_isVideo, MainWindow::m_languageMenu, MainWindow::m_loopCheck, MainWindow::m_mirrorCheck, MainWindow::m_stretchCheck,
        MainWindow::m_openAction, MainWindow::m_openButton, MainWindow::m_playButton,
        MainWindow::m_quitAction, MainWindow::m_registerButton, MainWindow::m_registrar,
        MainWindow::m_registrationLabel, MainWindow::m_resolutionCombo, MainWindow::m_seekSlider,
        MainWindow::m_sender, MainWindow::m_statusLabel, MainWindow::m_stopButton,
        MainWindow::m_unregisterButton, MainWindow::m_updateBanner, MainWindow::updateControls,
        MainWindow::m_timeLabel, MainWindow::m_preview, MainWindow::m_stillPicture, MainWindow::m_pendingSeek,
        MainWindow::m_sliderDragging, MainWindow::m_connectionLabel, MainWindow::m_statusTimer,
        MainWindow::m_trayIcon, MainWindow::loadFile, MainWindow::getSelectedResolution,
        MainWindow::dragEnterEvent, MainWindow::dropEvent;

    // The registrar probes and changes `system` from now on.
    void install(const FakeSystem& system)
    {
        delete m_registrar;
        m_registrar = new CameraRegistrar(system.setup(), this);
    }
};

// Every window starts from the stored language given, or no settings at all.
inline std::unique_ptr<WindowUnderTest> makeWindow(const QString& storedLanguage = QString())
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/orvenna.ini");
    QFile::remove(path);
    if (!storedLanguage.isNull())
        QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("language"), storedLanguage);
    return std::make_unique<WindowUnderTest>();
}
