#include "app/command_line.h"
#include "app/platform_services.h"
#include "app/single_instance.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QIcon>

namespace {

int runApplication(int argc, char** argv)
{
    QApplication::setApplicationName(QStringLiteral("Orvenna"));
    QApplication::setApplicationVersion(QStringLiteral(ORVENNA_VERSION));
    // The desktop entry's name: the Wayland app id and the desktop's match
    // of the window to its launcher.
    QApplication::setDesktopFileName(QStringLiteral(ORVENNA_APP_ID));
    const QString file = fileToOpen(argc, argv);
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orvenna.svg")));
    const QStringList files = file.isEmpty() ? QStringList() : QStringList(file);

    // Declared before the window, so the lock is released after the window is gone.
    SingleInstance instance;
    if (!instance.claim(files))
        return 0;
    MainWindow window;
    // Linux; on Windows the window's native event hook answers a second start.
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     [&window](const QStringList& requested) {
                         window.bringToFront();
                         window.openFiles(requested);
                     });
    window.show();
    window.openFiles(files);
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
