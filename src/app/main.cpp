#include "app/platform_services.h"
#include "app/single_instance.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

namespace {

int runApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvenna"));
    QApplication::setApplicationVersion(QStringLiteral(ORVENNA_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orvenna.svg")));

    // One optional argument: a file to open, as if dropped on the window.
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Video or image to stream."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments().mid(0, 1);

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
