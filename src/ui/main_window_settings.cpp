// The settings file: what the window restores at start and saves on closing.
#include "ui/main_window.h"

void MainWindow::loadSettings()
{
}

void MainWindow::saveSettings()
{
}
