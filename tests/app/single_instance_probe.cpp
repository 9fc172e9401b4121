// Helper of single_instance_test: a first instance guarded and wired like the
// program, its window driven through stdin ("hide", "minimize", "maximize",
// "other": activate a second window). It prints "ready" once it runs,
// "second" when another instance held the lock, "activated <files as JSON>"
// on each request and "state ..." whenever its window's state changes.
#include "app/single_instance.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QSocketNotifier>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {

void print(const QByteArray& line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

// Reports the window's visibility, state and activation on every change.
class StateReporter : public QObject {
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        static const QSet<QEvent::Type> changes = {QEvent::Show, QEvent::Hide,
                                                   QEvent::WindowStateChange,
                                                   QEvent::WindowActivate,
                                                   QEvent::WindowDeactivate};
        if (changes.contains(event->type())) {
            const auto* window = static_cast<QWidget*>(watched);
            print(QStringLiteral("state visible=%1 minimized=%2 maximized=%3 active=%4")
                      .arg(window->isVisible())
                      .arg(window->isMinimized())
                      .arg(window->isMaximized())
                      .arg(window->isActiveWindow())
                      .toUtf8());
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SingleInstance instance;
    if (!instance.claim(QApplication::arguments().mid(1))) {
        print("second");
        return 0;
    }

    MainWindow window;
    QWidget other;
    StateReporter reporter;
    window.installEventFilter(&reporter);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     [&window](const QStringList& files) {
                         print("activated " + QJsonDocument(QJsonArray::fromStringList(files))
                                                  .toJson(QJsonDocument::Compact));
                         window.bringToFront();
                     });

    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, &window, [&] {
        char line[64];
        const ssize_t length = read(STDIN_FILENO, line, sizeof line);
        if (length <= 0) {
            QApplication::quit();
            return;
        }
        for (const QByteArray& command : QByteArray(line, length).split('\n')) {
            if (command == "hide")
                window.hide();
            else if (command == "minimize")
                window.setWindowState(window.windowState() | Qt::WindowMinimized);
            else if (command == "maximize")
                window.setWindowState(window.windowState() | Qt::WindowMaximized);
            else if (command == "other")
                other.show(), other.activateWindow();
        }
    });

    window.show();
    print("ready");
    return QApplication::exec();
}
