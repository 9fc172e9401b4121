// The daily version check and the banner that announces a newer version.
#include "ui/main_window.h"

void MainWindow::checkForUpdates()
{
}

void MainWindow::showUpdateBanner(const QString&, const QString&)
{
}
