#pragma once

#ifdef _WIN32
#include "fake_system_win.h"
#else
#include "fake_system.h"
#endif
#include "ui/camera_registrar.h"
#include "ui/clickable_slider.h"
#include "ui/main_window.h"
#include "ui/preview_widget.h"
#include "ui/settings_location.h"

// The window's parts the tests reach through its members.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

// The window with its state opened up: tests set what the refresh reads and
// read what it writes. The desktop shows a notification area when `m_trayShown`.
class WindowUnderTest : public MainWindow {
public:
    explicit WindowUnderTest(const QString& settingsFile = settingsFilePath()) : MainWindow(settingsFile) {}

    using MainWindow::applyLanguage, MainWindow::checkForUpdates, MainWindow::dragEnterEvent, MainWindow::dropEvent,
        MainWindow::getSelectedResolution, MainWindow::m_cameraGroup,
        MainWindow::m_closeMediaAction, MainWindow::m_connectionLabel, MainWindow::m_currentFile,
        MainWindow::m_fileLabel, MainWindow::m_fileMenu, MainWindow::m_isVideo, MainWindow::m_languageMenu,
        MainWindow::m_loader, MainWindow::m_loopCheck, MainWindow::m_minimizeToTrayAction, MainWindow::m_mirrorCheck,
        MainWindow::m_openAction, MainWindow::m_openButton, MainWindow::m_pendingSeek, MainWindow::m_playButton,
        MainWindow::m_preview, MainWindow::m_stillPicture, MainWindow::m_quitAction, MainWindow::m_registerButton,
        MainWindow::m_registrar, MainWindow::m_registrationLabel, MainWindow::m_resolutionCombo,
        MainWindow::m_seekSlider, MainWindow::m_sendSoundAction, MainWindow::m_sender, MainWindow::m_settings,
        MainWindow::m_sliderDragging,
        MainWindow::m_statusLabel, MainWindow::m_statusTimer, MainWindow::m_stopButton, MainWindow::m_stretchCheck,
        MainWindow::m_timeLabel, MainWindow::m_trayIcon, MainWindow::m_trayQuitAction, MainWindow::m_trayShowAction,
        MainWindow::m_unregisterButton, MainWindow::m_updateBanner, MainWindow::m_updateChecker,
        MainWindow::m_updateLabel, MainWindow::onQuit, MainWindow::showAbout, MainWindow::showUpdateBanner,
        MainWindow::systemLanguage, MainWindow::updateControls;

    // Loads as the user does and waits until the load has ended.
    void loadFile(const QString& path)
    {
        startLoad(path);
        waitForLoad();
    }
    void startLoad(const QString& path) { MainWindow::loadFile(path); }
    // True when no load runs, or once the running one has ended.
    bool waitForLoad() { return QTest::qWaitFor([this] { return !m_loader.isBusy(); }, 20000); }

    // The registrar probes and changes `system` from now on.
    void install(const FakeSystem& system)
    {
        delete m_registrar;
#ifdef _WIN32
        system.apply();
        m_registrar = new CameraRegistrar(this);
#else
        m_registrar = new CameraRegistrar(system.setup(), this);
#endif
    }

    bool m_trayShown = false;  // as on the offscreen platform

protected:
    bool trayAvailable() const override { return m_trayShown; }
};

// A generated test file (ORVENNA_TEST_MEDIA_DIR).
inline QString testMedia(const QString& name) { return QStringLiteral(ORVENNA_TEST_MEDIA_DIR "/") + name; }

// Every window starts from the stored language given, or no settings at all.
inline std::unique_ptr<WindowUnderTest> makeWindow(const QString& storedLanguage = QString())
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/orvenna.ini");
    QFile::remove(path);
    if (!storedLanguage.isNull())
        QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("language"), storedLanguage);
    return std::make_unique<WindowUnderTest>();
}
