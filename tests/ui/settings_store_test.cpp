#include "window_under_test.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>

namespace {

using Window = WindowUnderTest;

// The file as it lies on disk, not as a settings object remembers it.
QByteArray bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Beside a portable copy where orvenna.ini itself can be written or made; an installed copy
// never writes beside itself. The look leaves the folder as it was.
TEST(SettingsStore, BesideAPortableCopyOnlyWhereTheFileCanBeWritten)
{
    enum Beside { Nothing, File, Folder, NoFolder };  // at orvenna.ini beside the program; NoFolder: /proc
    const struct {
        const char* name;
        Beside beside;
        bool installed, besideProgram;
    } cases[] = {
        {"portable", Nothing, false, true},        {"portable, with its file", File, false, true},
        {"a folder in the file's place", Folder, false, false},
        {"a folder no one may write, not even root", NoFolder, false, false},
        {"installed", Nothing, true, false},       {"installed, with a file", File, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir program, config;
        const QString dir = c.beside == NoFolder ? QStringLiteral("/proc") : program.path();
        if (c.beside == File)
            QSettings(dir + "/orvenna.ini", QSettings::IniFormat).setValue("loop", false);
        if (c.beside == Folder)
            QDir(dir).mkdir("orvenna.ini");
        const QStringList before = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        EXPECT_EQ(settingsFilePath(dir, config.path(), c.installed),
                  (c.besideProgram ? dir : config.path()) + "/orvenna.ini");
        EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }
    EXPECT_TRUE(isInstalledProgramDir("/usr/bin"));  // where the package puts it
    EXPECT_FALSE(isInstalledProgramDir(QCoreApplication::applicationDirPath()));  // the build tree
}

TEST(SettingsStore, MissingOrBrokenValuesGiveTheDefaults)
{
    const struct {  // "%1": a directory holding a named pipe "pipe"
        QByteArray content;  // null: no file; "/": a directory in its place
        const char* resolution = "1280x720";
        int items = 4;
        bool loop = true, stretch = false, mirror = false;
    } cases[] = {
        {{}}, {"/"}, {""}, {QByteArray("\0\xff[\xfe\n=\\\"\x01[General\n\xc3(=\n", 19)},
        {"windowGeometry=@ByteArray(\\x1\\xd9\\xd0\\xcb\\0\\x3\\0\\0)"},  // cut short
        {"[General]\nstretch=true\nresolution=1920x1080\nwindowGeometry=@ByteArray(\\x1\\xd9", "1920x1080", 4, true, true},
        {"loop=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\nQByteArray\\xff\\xff\\xff\\xf0)\n"
         "mirror=@Variant(\\0\\0\\0\\x8\\xff\\xff\\xff\\xff)\nwindowGeometry=@Variant(\\0\\0\\0\\f\\xff\\xff\\xff\\xff)"},
        {"loop=\nstretch=banana\nmirror=1, 2"},
        {"resolution=800x600", "800x600", 5}, {"resolution=1920x1080", "1920x1080"}, {"resolution=1280X720"},
        {"resolution=12x"}, {"resolution=abc"}, {"resolution=800x600\\n"}, {"resolution=800x600, 640x480"},
        {"lastFile=%1/gone.mp4"}, {"lastFile=%1"}, {"lastFile=%1/pipe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.toStdString());
        QTemporaryDir dir;
        ASSERT_EQ(mkfifo(QFile::encodeName(dir.path() + "/pipe").constData(), 0600), 0);
        const QString path = dir.path() + "/orvenna.ini";
        if (QFile file(path); c.content == "/")
            QDir().mkdir(path);
        else if (!c.content.isNull() && file.open(QIODevice::WriteOnly))
            file.write(QByteArray(c.content).replace("%1", QFile::encodeName(dir.path())));
        Window window(path);
        EXPECT_EQ(window.size(), QSize(780, 600));
        EXPECT_EQ(window.m_resolutionCombo->currentText(), c.resolution);
        EXPECT_EQ(window.m_resolutionCombo->count(), c.items);
        EXPECT_EQ(std::tuple(window.m_loopCheck->isChecked(), window.m_stretchCheck->isChecked(),
                             window.m_mirrorCheck->isChecked(), window.m_currentFile),
                  std::tuple(c.loop, c.stretch, c.mirror, QString()));
    }
}

// The text of the message box `act` opens, answered at once; empty when none opens.
QString messageOf(const std::function<void()>& act)
{
    QString text;
    QObject scope;
    QTimer::singleShot(0, &scope, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            text = box->text(), box->accept();
    });
    act();
    return text;
}

// A save that fails is told: on the status line while the window is open, in a message at
// quit, naming the file and the reason; what the file held stays.
TEST(SettingsStore, AFailedSaveIsToldAndLosesNothingStored)
{
    enum How { Change, FileQuit, TrayQuit };
    const struct {
        const char* name;
        How how;
        bool diskFull;  // else a folder in the file's place
        const char* reason;
    } cases[] = {
        {"a change, a folder in the file's place", Change, false, "Filename refers to a directory"},
        {"File Quit, a folder in the file's place", FileQuit, false, "Filename refers to a directory"},
        {"tray Quit, the disk full", TrayQuit, true, "File too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.path() + "/orvenna.ini";
        if (c.diskFull)
            QSettings(path, QSettings::IniFormat).setValue("loop", false);
        else
            QDir(dir.path()).mkdir("orvenna.ini");
        Window window(path);
        QCoreApplication::sendPostedEvents(window.m_settings);  // the start's own writes
        const QByteArray stored = bytes(path);
        window.m_statusLabel->clear();
        // Writes fail, as on a full disk; unlike permissions, this binds root too.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{}, limit{};
        getrlimit(RLIMIT_FSIZE, &old);
        if (c.diskFull)
            setrlimit(RLIMIT_FSIZE, &(limit = {1, old.rlim_max}));
        const QString message = messageOf([&] {
            if (c.how == Change) {
                window.m_minimizeToTrayAction->toggle();
                QCoreApplication::sendPostedEvents(window.m_settings);
            }
            c.how == FileQuit ? window.onQuit() : c.how == TrayQuit ? window.m_trayQuitAction->trigger() : void();
        });
        setrlimit(RLIMIT_FSIZE, &old);
        const QString told = QString("The settings could not be saved to %1: %2").arg(path, c.reason);
        EXPECT_EQ(window.m_statusLabel->text().toStdString(), told.toStdString());
        EXPECT_EQ(message.toStdString(), c.how == Change ? "" : told.toStdString());
        EXPECT_EQ(bytes(path), stored);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList("orvenna.ini"));
    }
}
