// The 200 ms status tick: while a stream runs, the slider and time label, the
// status line, the camera connection and the tray follow the camera thread.
#include "ui/main_window.h"

#include <QIcon>
#include <QLabel>

void MainWindow::onTimerTick()
{
    if (!m_sender.m_running)
        return;
    // Published by the camera thread one value at a time: they may come from
    // different frames.
    const double position = m_sender.m_videoPosition;
    const double duration = m_sender.m_videoDuration;
    const bool paused = m_sender.m_paused;
    if (m_isVideo && duration > 0.0)
        followPlayback(position, duration, paused);

    int width = 0;
    int height = 0;
    getSelectedResolution(width, height);
    m_statusLabel->setText(tr("%1  |  %2 fps  |  %3x%4")
                               .arg(paused ? tr("Paused") : tr("Playing"),
                                    QString::number(m_sender.m_measuredFps.load(), 'f', 1),
                                    QString::number(width), QString::number(height)));

    const bool connected = m_sender.IsConnected();
    const QString connection = connected ? tr("Connected") : tr("Waiting for app...");
    if (m_connectionLabel->text() != connection) {
        m_connectionLabel->setText(connection);
        m_connectionLabel->setStyleSheet(connected ? QStringLiteral("color: #2a2; font-weight: bold;")
                                                   : QStringLiteral("color: #d90; font-weight: bold;"));
    }
    if (connected)
        showTrayState(QStringLiteral(":/icons/orvenna-connected.svg"), tr("Orvenna - Connected"));
    else
        showTrayState(QStringLiteral(":/icons/orvenna.svg"), tr("Orvenna - Streaming"));
}

void MainWindow::showTrayState(const QString& iconPath, const QString& toolTip)
{
    // Each set is a message to the desktop's tray, so not five times a second.
    if (!m_trayIcon || m_trayIcon->toolTip() == toolTip)
        return;
    m_trayIcon->setIcon(QIcon(iconPath));
    m_trayIcon->setToolTip(toolTip);
}
