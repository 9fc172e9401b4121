// The About dialog.
#include "ui/main_window.h"

void MainWindow::showAbout()
{
}
