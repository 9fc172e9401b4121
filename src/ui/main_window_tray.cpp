// The tray icon and its menu, closing into the tray, and the ways of quitting.
#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

void MainWindow::setupTrayIcon()
{
    m_trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/orvenna.svg")), this);
    m_trayMenu = new QMenu(this);
    // Plain first texts: retranslateUi() replaces them, except "Stop", which
    // nothing translates.
    m_trayShowAction = m_trayMenu->addAction(QStringLiteral("Show Orvenna"));
    connect(m_trayShowAction, &QAction::triggered, this, &MainWindow::showFromTray);
    m_trayMenu->addSeparator();
    m_trayOpenAction = m_trayMenu->addAction(QStringLiteral("Open media..."));
    connect(m_trayOpenAction, &QAction::triggered, this, &MainWindow::onOpenFile);
    m_trayPlayAction = m_trayMenu->addAction(QStringLiteral("Play"));
    connect(m_trayPlayAction, &QAction::triggered, this, &MainWindow::onPlayPause);
    m_trayStopAction = m_trayMenu->addAction(QStringLiteral("Stop"));
    connect(m_trayStopAction, &QAction::triggered, this, &MainWindow::onStop);
    m_trayMenu->addSeparator();
    m_trayQuitAction = m_trayMenu->addAction(QStringLiteral("Quit"));
    connect(m_trayQuitAction, &QAction::triggered, this, &MainWindow::quitFromTray);

    m_trayIcon->setContextMenu(m_trayMenu);
    m_trayIcon->setToolTip(QStringLiteral("Orvenna"));
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::onTrayActivated);
    m_trayIcon->setVisible(true);
}

void MainWindow::onTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
#ifdef Q_OS_WIN
    const bool show = reason == QSystemTrayIcon::DoubleClick;
#else
    // StatusNotifierItem trays (KDE Plasma, AppIndicator) report single
    // clicks only.
    const bool show = reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger;
#endif
    if (show)
        showFromTray();
}

void MainWindow::showFromTray()
{
    showNormal();
    activateWindow();
    raise();
}

bool MainWindow::trayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void MainWindow::onQuit()
{
    m_quitting = true;
    close();
}

void MainWindow::quitFromTray()
{
    m_quitting = true;
    // A window hidden in the tray gets no close event, so no save but this.
    saveSettingsForQuit(true);
    releaseForQuit();
    QCoreApplication::quit();
}

void MainWindow::releaseForQuit()
{
    // A load still running stops now; the window's end waits for its thread.
    m_loader.cancel();
    m_sender.Stop();
    m_sender.ShutdownCamera();
    m_decoder.reset();
    m_trayIcon->setVisible(false);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Without a notification area a hidden window could never come back,
    // while the camera went on streaming.
    if (!m_quitting && m_minimizeToTrayAction->isChecked() && trayAvailable()) {
        hide();
        event->ignore();
        return;
    }
    saveSettingsForQuit(true);
    releaseForQuit();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMainWindow::changeEvent(event);
}
