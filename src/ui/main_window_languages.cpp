// The interface language: the system's best fit and the translators.
#include "ui/main_window.h"

void MainWindow::applyLanguage(const QString&)
{
    retranslateUi();
}

QString MainWindow::systemLanguage() const
{
    return QStringLiteral("en");
}
