// The tray icon and its menu, closing into the tray, and the ways of quitting.
#include "ui/main_window.h"

#include <QCloseEvent>
#include <QEvent>

void MainWindow::setupTrayIcon()
{
}

void MainWindow::onTrayActivated(QSystemTrayIcon::ActivationReason)
{
}

void MainWindow::onQuit()
{
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
}
