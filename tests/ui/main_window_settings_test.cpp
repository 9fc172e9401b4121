#include "ui/settings_location.h"
#include "window_on_file.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

TEST(SettingsLocation, BesideTheProgramOnlyWhereItMayWrite)
{
    QTemporaryDir program, config;
    EXPECT_EQ(settingsFilePath(program.path(), config.path()), program.path() + "/orvenna.ini");
    EXPECT_TRUE(QDir(program.path()).isEmpty());  // the probe leaves nothing behind
    // Not even the administrator creates files in /proc.
    EXPECT_EQ(settingsFilePath("/proc", config.path()), config.path() + "/orvenna.ini");
}

TEST(SettingsStore, FirstStartGivesTheDefaultsAndAQuitKeepsEveryChoice)
{
    QTemporaryDir dir;
    // A configuration directory that does not exist yet.
    const QString path = dir.path() + "/Orvenna/orvenna.ini";
    {
        WindowOnFile window(path);
        EXPECT_EQ(window.size(), QSize(780, 600));
        EXPECT_EQ(window.m_resolutionCombo->currentText(), "1280x720");
        EXPECT_TRUE(window.m_loopCheck->isChecked());
        EXPECT_FALSE(window.m_stretchCheck->isChecked() || window.m_mirrorCheck->isChecked());
        EXPECT_TRUE(window.m_minimizeToTrayAction->isChecked() && window.m_analyticsAction->isChecked());

        window.resize(900, 700);
        window.m_resolutionCombo->setEditText("800x600");
        window.m_loopCheck->setChecked(false);
        window.m_stretchCheck->setChecked(true);
        window.m_mirrorCheck->setChecked(true);
        window.m_minimizeToTrayAction->setChecked(false);
        EXPECT_EQ(QSettings(path, QSettings::IniFormat).value("minimizeToTray"), false);  // stored at once
        window.onQuit();
    }
    WindowOnFile window(path);
    EXPECT_EQ(window.size(), QSize(900, 700));
    EXPECT_EQ(window.m_resolutionCombo->count(), 5);
    EXPECT_EQ(window.m_resolutionCombo->currentIndex(), 4);
    EXPECT_EQ(window.m_resolutionCombo->currentText(), "800x600");
    EXPECT_FALSE(window.m_loopCheck->isChecked());
    EXPECT_TRUE(window.m_stretchCheck->isChecked() && window.m_mirrorCheck->isChecked());
    EXPECT_FALSE(window.m_minimizeToTrayAction->isChecked());
    EXPECT_TRUE(fileBytes(path).contains("lastFile=\n"));  // no media: an empty path
}

TEST(SettingsStore, BrokenFilesGiveTheDefaults)
{
    enum Kind { File, None, Directory };
    // "%1" stands for a directory that exists.
    const struct {
        const char* name;
        Kind kind;
        QByteArray content;
        const char* resolution = "1280x720";
        int items = 4;
        bool loop = true, stretch = false, mirror = false;
    } cases[] = {
        {"no file", None, {}},
        {"a directory in its place", Directory, {}},
        {"empty", File, ""},
        {"binary garbage", File, QByteArray("\0\xff[\xfe\n=\\\"\x01[General\n\xc3(=\n", 19)},
        {"geometry cut short", File, "windowGeometry=@ByteArray(\\x1\\xd9\\xd0\\xcb\\0\\x3\\0\\0)"},
        {"file cut mid-line", File, "[General]\nstretch=true\nresolution=1920x1080\nwindowGeometry=@ByteArray(\\x1\\xd9",
         "1920x1080", 4, true, true},
        {"serialised garbage", File,
         "loop=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\nQByteArray\\xff\\xff\\xff\\xf0)\n"
         "mirror=@Variant(\\0\\0\\0\\x8\\xff\\xff\\xff\\xff)\n"
         "windowGeometry=@Variant(\\0\\0\\0\\f\\xff\\xff\\xff\\xff)"},
        {"switches neither true nor false", File, "loop=\nstretch=banana\nmirror=1, 2"},
        {"new size", File, "resolution=800x600", "800x600", 5},
        {"size of the box", File, "resolution=1920x1080", "1920x1080"},
        {"upper-case X", File, "resolution=1280X720"},
        {"one number", File, "resolution=12x"},
        {"no size", File, "resolution=abc"},
        {"size and a line break", File, "resolution=800x600\\n"},
        {"list of sizes", File, "resolution=800x600, 640x480"},
        {"last file gone", File, "lastFile=%1/gone.mp4"},
        {"last file a directory", File, "lastFile=%1"},
        {"last file a pipe", File, "lastFile=%1/pipe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_EQ(mkfifo(QFile::encodeName(dir.path() + "/pipe").constData(), 0600), 0);
        const QString path = dir.path() + "/orvenna.ini";
        if (c.kind == Directory)
            QDir().mkdir(path);
        if (c.kind == File) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(c.content).replace("%1", QFile::encodeName(dir.path())));
        }
        WindowOnFile window(path);
        EXPECT_EQ(window.size(), QSize(780, 600));
        EXPECT_EQ(window.m_resolutionCombo->currentText(), c.resolution);
        EXPECT_EQ(window.m_resolutionCombo->count(), c.items);
        EXPECT_EQ(window.m_loopCheck->isChecked(), c.loop);
        EXPECT_EQ(window.m_stretchCheck->isChecked(), c.stretch);
        EXPECT_EQ(window.m_mirrorCheck->isChecked(), c.mirror);
        EXPECT_TRUE(window.m_currentFile.isEmpty());
    }
}

// Every write past `bytes` fails for this process, as on a full disk; the
// administrator is bound by it too, unlike by file permissions.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST(SettingsStore, ASaveThatCannotBeWrittenLosesNothingStored)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/orvenna.ini";
    QSettings(path, QSettings::IniFormat).setValue("language", "de");
    const QByteArray stored = fileBytes(path);
    {
        WindowOnFile window(path);
        window.m_resolutionCombo->setCurrentIndex(0);
        {
            FileSizeLimit limit(stored.size());
            window.saveSettings();
            window.m_settings->sync();
        }
        EXPECT_EQ(window.m_settings->status(), QSettings::AccessError);
        EXPECT_EQ(fileBytes(path), stored);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList("orvenna.ini"));
    }
}
