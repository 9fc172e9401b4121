#include "app/platform_services.h"
#include "app/single_instance.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QIcon>

namespace {

int runApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvenna"));
    QApplication::setApplicationVersion(QStringLiteral(ORVENNA_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orvenna.svg")));

    // Declared before the window, so the lock is released after the window is gone.
    SingleInstance instance;
    if (!instance.claim(QApplication::arguments().mid(1)))
        return 0;
    MainWindow window;
    // Linux; on Windows the window's native event hook answers a second start.
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     &MainWindow::bringToFront);
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    // The platform's media services outlive every Qt object, the window's
    // image loader included.
    startPlatformServices();
    const int result = runApplication(argc, argv);
    stopPlatformServices();
    return result;
}
