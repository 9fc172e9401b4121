// How the window answers while a large still loads: from the open until the
// picture shows, the longest the GUI thread went without turning its event
// loop; how long the window takes to appear with that still as the last
// file; and how long quitting takes while it loads. The still is a generated
// 16384 x 16384 PNG with 8-bit RGBA (1 GiB decoded); its 16-bit twin is
// refused at once. On the offscreen platform; no camera needed.
//
// Usage: window_load_bench
#include "support/large_png.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// The longest gap between turns of the event loop while it is watched, in ms.
class StallWatch : public QObject {
public:
    StallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
        });
        m_clock.start();
        m_timer.start(1);
    }
    qint64 longest() const { return std::max(m_longest, m_clock.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

QString status(const MainWindow& window)
{
    return window.statusBar()->findChild<QLabel*>()->text();  // the first label: the status line
}

// Turns the event loop, idle between looks, until the status line leaves
// "Loading...".
bool waitForLoad(const MainWindow& window)
{
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (status(window) != QLatin1String("Loading..."))
            loop.quit();
    });
    look.start(10);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    return status(window) != QLatin1String("Loading...");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("orvenna.ini"));
    std::printf("%-38s %10s %12s  %s\n", "case", "wall ms", "stall ms", "status");
    for (const int bits : {8, 16}) {
        const QString still = dir.filePath(QStringLiteral("still_%1.png").arg(bits));
        writeLargePng(still.toStdString(), 16384, 16384, bits);
        MainWindow window(settings);
        window.show();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        {
            StallWatch watch;
            window.openFiles({still});
            const bool ended = waitForLoad(window);
            std::printf("open, %2d-bit 16384 x 16384 %*s %10lld %12lld  %s\n", bits, 9, "", clock.elapsed(),
                        watch.longest(), ended ? qPrintable(status(window)) : "still loading");
        }
    }

    const QString still = dir.filePath(QStringLiteral("still_8.png"));
    QSettings(settings, QSettings::IniFormat).setValue(QStringLiteral("lastFile"), still);
    QElapsedTimer clock;
    clock.start();
    auto* window = new MainWindow(settings);
    window->show();
    QCoreApplication::processEvents();
    std::printf("%-38s %10lld %12s  %s\n", "start, that 8-bit still as last file", clock.elapsed(), "-",
                qPrintable(status(*window)));
    // Well into the decode, then quit.
    QTimer::singleShot(1000, &app, &QCoreApplication::quit);
    QApplication::exec();
    clock.restart();
    window->onQuit();
    delete window;
    std::printf("%-38s %10lld %12s\n", "quit while it loads", clock.elapsed(), "-");
    return 0;
}
