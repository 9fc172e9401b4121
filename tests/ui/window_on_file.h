#pragma once

#include "ui/main_window.h"

#include <QFile>

// A window on a settings file of its own, its state opened up, and the
// desktop's notification area stood in for: the offscreen platform has none.
class WindowOnFile : public MainWindow {
public:
    explicit WindowOnFile(const QString& settingsFile)
        : MainWindow(settingsFile)
    {
    }
    using MainWindow::m_currentFile, MainWindow::m_loopCheck, MainWindow::m_minimizeToTrayAction,
        MainWindow::m_analyticsAction, MainWindow::m_mirrorCheck, MainWindow::m_resolutionCombo,
        MainWindow::m_settings, MainWindow::m_stretchCheck, MainWindow::m_trayIcon, MainWindow::m_trayMenu,
        MainWindow::m_trayQuitAction, MainWindow::m_trayShowAction, MainWindow::m_trayStopAction,
        MainWindow::onQuit, MainWindow::saveSettings;

    bool m_trayShown = true;

protected:
    bool trayAvailable() const override { return m_trayShown; }
};

// The file as it lies on disk, not as a settings object remembers it.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
