// A first instance wired like the program, its window driven through stdin ("hide",
// "minimize", "maximize", "other": activate a second window). Prints "ready", then
// "activated <files as JSON>" on each request and "state <what holds>" on each change.
#include "app/single_instance.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

void print(const QByteArray& line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

class StateReporter : public QObject {
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* w = static_cast<QWidget*>(watched);
        const QEvent::Type t = event->type();
        if (t == QEvent::Show || t == QEvent::Hide || t == QEvent::WindowStateChange
            || t == QEvent::WindowActivate || t == QEvent::WindowDeactivate)
            print(QByteArray("state") + (w->isVisible() ? " visible" : "") + (w->isMinimized() ? " minimized" : "")
                  + (w->isMaximized() ? " maximized" : "") + (w->isActiveWindow() ? " active" : ""));
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SingleInstance instance;
    if (!instance.claim(QApplication::arguments().mid(1)))
        return 0;

    // Settings of its own: a window state saved by one case must not open the next.
    MainWindow window(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/orvenna.ini");
    QWidget other;
    StateReporter reporter;
    window.installEventFilter(&reporter);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window](const QStringList& files) {
        print("activated " + QJsonDocument(QJsonArray::fromStringList(files)).toJson(QJsonDocument::Compact));
        window.bringToFront();
    });

    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, &window, [&] {
        char line[64];
        const ssize_t length = read(STDIN_FILENO, line, sizeof line);
        if (length <= 0)
            return QApplication::quit();
        for (const QByteArray& command : QByteArray(line, length).split('\n')) {
            if (command == "hide")
                window.hide();
            else if (command == "minimize" || command == "maximize")
                window.setWindowState(window.windowState()
                                      | (command == "minimize" ? Qt::WindowMinimized : Qt::WindowMaximized));
            else if (command == "other")
                other.show(), other.activateWindow();
        }
    });

    window.show();
    print("ready");
    return QApplication::exec();
}
