#include "ui/main_window.h"

#include "ui/camera_registrar.h"
#include "ui/clickable_slider.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QValidator>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>

namespace fs = std::filesystem;

namespace {

// The window with its state opened up, so that tests can set what the
// refresh reads and read what it writes.
class WindowUnderTest : public MainWindow {
public:
    using MainWindow::m_closeMediaAction, MainWindow::m_currentFile, MainWindow::m_fileLabel,
        MainWindow::m_isVideo, MainWindow::m_languageMenu, MainWindow::m_loopCheck,
        MainWindow::m_openAction, MainWindow::m_openButton, MainWindow::m_playButton,
        MainWindow::m_quitAction, MainWindow::m_registerButton, MainWindow::m_registrar,
        MainWindow::m_registrationLabel, MainWindow::m_resolutionCombo, MainWindow::m_seekSlider,
        MainWindow::m_sender, MainWindow::m_statusLabel, MainWindow::m_stopButton,
        MainWindow::m_unregisterButton, MainWindow::m_updateBanner, MainWindow::updateControls;
};

// Every window starts from the stored language given, or no settings at all.
std::unique_ptr<WindowUnderTest> makeWindow(const QString& storedLanguage = QString())
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/orvenna.ini");
    QFile::remove(path);
    if (!storedLanguage.isNull())
        QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("language"), storedLanguage);
    return std::make_unique<WindowUnderTest>();
}

// A system of the test's own: sysfs in a temporary directory, no PipeWire
// daemon, and an elevation tool (a shell script) that exits with a given
// code and, only when that is 0, adds or removes the camera device.
struct FakeSystem {
    QTemporaryDir dir;

    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    std::string device() const { return path("sys/devices/virtual/video4linux/video0"); }

    void setDevice(bool present) const
    {
        fs::remove_all(device());
        if (!present)
            return;
        fs::create_directories(device());
        std::ofstream(device() + "/name") << "Orvenna Camera\n";
        std::ofstream(device() + "/max_openers") << "10\n";
    }

    void writeTool(bool unregister, int exitCode) const
    {
        const char* effect = exitCode != 0 ? ""
                             : unregister  ? "rm -rf \"$d\"\n"
                                           : "mkdir -p \"$d\" && echo 'Orvenna Camera' > \"$d/name\" && echo 10 > \"$d/max_openers\"\n";
        std::ofstream(path("pkexec")) << "#!/bin/sh\nd='" << device() << "'\n" << effect << "exit " << exitCode << "\n";
        fs::permissions(path("pkexec"), fs::perms::owner_all);
    }

    // The window's registrar probes and changes this system from now on.
    void install(WindowUnderTest& window) const
    {
        delete window.m_registrar;
        window.m_registrar = new CameraRegistrar(
            {path("sys"), path("no-pipewire"), path("pkexec"), std::chrono::seconds(20)}, &window);
    }
};

} // namespace

TEST(MainWindowTest, StartsWithItsWidgetsMenusAndLanguages)
{
    auto window = makeWindow();
    EXPECT_EQ(window->minimumSize(), QSize(580, 480));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->m_seekSlider->isEnabled());
    EXPECT_TRUE(window->m_updateBanner->isHidden());
    EXPECT_EQ(window->m_statusLabel->text(), QStringLiteral("Ready."));
    EXPECT_EQ(window->m_fileLabel->text(), QStringLiteral("No file selected"));
    // File names come from outside and must never be read as markup.
    EXPECT_EQ(window->m_fileLabel->textFormat(), Qt::PlainText);

    QStringList menus;
    for (QAction* action : window->menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Settings", "&Help"}));

    const QList<QAction*> languages = window->m_languageMenu->actions();
    QStringList codes;
    for (QAction* action : languages) {
        codes << action->data().toString();
        EXPECT_EQ(action->actionGroup(), languages.first()->actionGroup());
    }
    EXPECT_EQ(codes, QStringList({"auto", "en", "fr", "es", "de", "it", "pt", "ru", "zh_CN", "ja"}));
    ASSERT_NE(languages.first()->actionGroup(), nullptr);
    EXPECT_TRUE(languages.first()->actionGroup()->isExclusive());
    EXPECT_EQ(languages.at(8)->text(), QStringLiteral("简体中文"));
}

TEST(MainWindowTest, StoredLanguageChecksItsEntryOnly)
{
    const struct {
        QString stored;  // null: nothing stored
        QStringList checked;
    } cases[] = {
        {QString(), {"auto"}},
        {"zh_CN", {"zh_CN"}},
        {"DE", {}},  // codes match exactly
        {"nl", {}},
    };
    for (const auto& c : cases) {
        auto window = makeWindow(c.stored);
        QStringList checked;
        for (QAction* action : window->m_languageMenu->actions()) {
            if (action->isChecked())
                checked << action->data().toString();
        }
        EXPECT_EQ(checked, c.checked) << c.stored.toStdString();
    }
}

TEST(MainWindowTest, ResolutionBoxRefusesWhatCannotBecomeASize)
{
    auto window = makeWindow();
    const QComboBox* box = window->m_resolutionCombo;
    EXPECT_TRUE(box->isEditable());
    EXPECT_EQ(box->currentText(), QStringLiteral("1280x720"));
    EXPECT_EQ(box->count(), 4);

    const struct {
        const char* text;
        QValidator::State state;
    } cases[] = {
        {"1280x720", QValidator::Acceptable},    {"99999x99999", QValidator::Acceptable},
        {"1280x", QValidator::Intermediate},     {"", QValidator::Intermediate},
        {"1x720", QValidator::Invalid},          {"1280x720x", QValidator::Invalid},
        {"123456x720", QValidator::Invalid},     {"1280X720", QValidator::Invalid},
        {"1280 x 720", QValidator::Invalid},
    };
    ASSERT_NE(box->validator(), nullptr);
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c.text);
        int position = text.size();
        EXPECT_EQ(box->validator()->validate(text, position), c.state) << c.text;
    }
}

// Space belongs to Play/Pause wherever the focus is, except in the resolution
// box's text field, which keeps it for typing; every key the platform binds
// to Open, Close and Quit triggers its File entry (Close: Ctrl+F4 and Ctrl+W
// on Linux).
TEST(MainWindowTest, KeysReachTheirHandlers)
{
    auto window = makeWindow();
    window->m_currentFile = QStringLiteral("clip.mp4");  // Close media needs a file
    window->updateControls();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    QShortcut* space = nullptr;
    for (QShortcut* shortcut : window->findChildren<QShortcut*>()) {
        if (shortcut->key() == QKeySequence(Qt::Key_Space))
            space = shortcut;
    }
    ASSERT_NE(space, nullptr);
    QSignalSpy activated(space, &QShortcut::activated);
    QSignalSpy openClicked(window->m_openButton, &QPushButton::clicked);
    const struct {
        QWidget* focus;
        int activations;
    } spaceCases[] = {
        {window->m_openButton, 1},
        {window->m_loopCheck, 1},
        {window->m_resolutionCombo->lineEdit(), 0},
    };
    for (const auto& c : spaceCases) {
        activated.clear();
        c.focus->setFocus();
        QTest::keyClick(c.focus, Qt::Key_Space);
        EXPECT_EQ(activated.count(), c.activations) << c.focus->metaObject()->className();
    }
    // The focused controls did not take the key for themselves.
    EXPECT_EQ(openClicked.count(), 0);
    EXPECT_TRUE(window->m_loopCheck->isChecked());
    // True only when exactly this connection existed.
    EXPECT_TRUE(QObject::disconnect(space, SIGNAL(activated()), window.get(), SLOT(onPlayPause())));

    const struct {
        QAction* action;
        QKeySequence::StandardKey key;
    } fileCases[] = {
        {window->m_openAction, QKeySequence::Open},
        {window->m_closeMediaAction, QKeySequence::Close},
        {window->m_quitAction, QKeySequence::Quit},
    };
    for (const auto& c : fileCases) {
        SCOPED_TRACE(c.action->text().toStdString());
        EXPECT_EQ(c.action->shortcuts(), QKeySequence::keyBindings(c.key));
        QSignalSpy triggered(c.action, &QAction::triggered);
        for (const QKeySequence& keys : c.action->shortcuts())
            QTest::keySequence(window.get(), keys);
        EXPECT_EQ(triggered.count(), c.action->shortcuts().size());
    }
}

TEST(MainWindowTest, ControlsFollowRegistrationMediaAndStream)
{
    enum Media { None, Image, Video };
    const struct {
        const char* name;
        bool registered;
        Media media;
        bool running, paused;
        // expected
        bool registerOn, unregisterOn, playOn, stopOn, resolutionOn, sliderOn;
        const char* playText;
    } cases[] = {
        {"nothing", false, None, false, false, true, false, false, false, true, false, " Play"},
        {"video, unregistered", false, Video, false, false, true, false, false, false, true, true, " Play"},
        {"registered, no file", true, None, false, false, false, true, false, false, true, false, " Play"},
        {"image ready", true, Image, false, false, false, true, true, false, true, false, " Play"},
        {"video playing", true, Video, true, false, false, true, true, true, false, true, " Pause"},
        {"video paused", true, Video, true, true, false, true, true, true, false, true, " Play"},
        {"image playing", true, Image, true, false, false, true, true, true, false, false, " Pause"},
        {"registration gone mid-stream", false, Video, true, false, true, false, false, true, false, true, " Pause"},
    };
    auto window = makeWindow();
    FakeSystem system;
    system.install(*window);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        system.setDevice(c.registered);
        window->m_currentFile = c.media == None ? QString() : QStringLiteral("media.file");
        window->m_isVideo = c.media == Video;
        window->m_sender.m_running = c.running;
        window->m_sender.m_paused = c.paused;
        window->updateControls();

        EXPECT_EQ(window->m_registerButton->isEnabled(), c.registerOn);
        EXPECT_EQ(window->m_unregisterButton->isEnabled(), c.unregisterOn);
        EXPECT_EQ(window->m_playButton->isEnabled(), c.playOn);
        EXPECT_EQ(window->m_playButton->text(), QString::fromLatin1(c.playText));
        EXPECT_EQ(window->m_stopButton->isEnabled(), c.stopOn);
        EXPECT_EQ(window->m_resolutionCombo->isEnabled(), c.resolutionOn);
        EXPECT_EQ(window->m_seekSlider->isEnabled(), c.sliderOn);
        EXPECT_EQ(window->m_closeMediaAction->isEnabled(), c.media != None);
        EXPECT_EQ(window->m_registrationLabel->text(),
                  c.registered ? QStringLiteral("<span style='color: #2a2;font-weight:bold;'>\u2713 Registered</span>")
                               : QStringLiteral("<span style='color: #888;'>\u2717 Not registered</span>"));
    }
    window->m_sender.m_running = false;
}

TEST(MainWindowTest, FormatTime)
{
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {0.0, "0:00"},        {59.9, "0:59"},     {600.0, "10:00"},
        {3725.0, "62:05"},    {7200.0, "120:00"}, {2147483647.0, "35791394:07"},
        {-0.5, "0:00"},       {-3.0, "0:00"},     {2147483648.0, "0:00"},  // past 32 bits
        {std::numeric_limits<double>::infinity(), "0:00"},
        {std::nan(""), "0:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatTime(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
}

// The tool runs in the background: the status says what is under way and
// neither button can start a second run until the outcome arrives.
TEST(MainWindowTest, RegistrationSlotsReportTheOutcome)
{
    const struct {
        bool unregister;
        int toolExit;
        const char* busyText;
        const char* finalText;
        bool registeredAfter;
    } cases[] = {
        {false, 0, "Registering...", "Camera registered!", true},
        {false, 126, "Registering...", "Registration failed.", false},  // password refused
        {true, 0, "Unregistering...", "Camera unregistered.", false},
        {true, 1, "Unregistering...", "Failed.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finalText);
        auto window = makeWindow();
        FakeSystem system;
        system.setDevice(c.unregister);
        system.writeTool(c.unregister, c.toolExit);
        system.install(*window);
        window->updateControls();
        QSignalSpy finished(window->m_registrar, &CameraRegistrar::finished);

        c.unregister ? window->onUnregister() : window->onRegister();
        EXPECT_EQ(window->m_statusLabel->text(), QString::fromLatin1(c.busyText));
        EXPECT_FALSE(window->m_registerButton->isEnabled());
        EXPECT_FALSE(window->m_unregisterButton->isEnabled());

        ASSERT_TRUE(finished.wait(20000));
        EXPECT_EQ(window->m_statusLabel->text(), QString::fromLatin1(c.finalText));
        EXPECT_EQ(window->m_registerButton->isEnabled(), !c.registeredAfter);
        EXPECT_EQ(window->m_unregisterButton->isEnabled(), c.registeredAfter);
    }
}
