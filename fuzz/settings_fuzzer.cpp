// The window started on any orvenna.ini: its settings read and applied (size,
// geometry, switches, language, the last file) as at the program's start.
#include "ui/main_window.h"

#include <QApplication>
#include <QFile>
#include <QNetworkProxy>
#include <QTemporaryDir>

namespace {

// Removed when the run ends.
QTemporaryDir& directory()
{
    static QTemporaryDir temporary;
    return temporary;
}

} // namespace

// Fontconfig keeps what it learnt of the fonts until the process ends.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // No PipeWire session, no desktop: nothing outside is reached.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(directory().path()));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    new QApplication(*argc, *argv);
    // Nor the network: most inputs ask for the daily update check, whose
    // request goes to a proxy port nobody listens on instead of a name lookup
    // (the system resolver keeps memory that the leak check reports).
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), 9));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // A new name each time: Qt keeps settings files it has read, by name.
    static int count = 0;
    const QString path = directory().filePath(QStringLiteral("orvenna-%1.ini").arg(++count));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();
    {
        MainWindow window(path);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QFile::remove(path);
    return 0;
}
