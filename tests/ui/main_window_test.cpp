#include "ui/main_window.h"

#include "window_under_test.h"
#include "ui/camera_registrar.h"
#include "ui/clickable_slider.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QValidator>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

TEST(MainWindowTest, StartsHiddenWithPlainFileNameAndExclusiveLanguages)
{
    auto window = makeWindow();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->m_updateBanner->isHidden());
    // File names come from outside and must never be read as markup.
    EXPECT_EQ(window->m_fileLabel->textFormat(), Qt::PlainText);

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
    // A null stored code: nothing stored. Codes match exactly.
    const std::pair<QString, QStringList> cases[] = {{QString(), {"auto"}}, {"zh_CN", {"zh_CN"}}, {"DE", {}}, {"nl", {}}};
    for (const auto& [stored, expected] : cases) {
        auto window = makeWindow(stored);
        QStringList checked;
        for (QAction* action : window->m_languageMenu->actions()) {
            if (action->isChecked())
                checked << action->data().toString();
        }
        EXPECT_EQ(checked, expected) << stored.toStdString();
    }
}

TEST(MainWindowTest, ResolutionBoxRefusesWhatCannotBecomeASize)
{
    auto window = makeWindow();
    const QComboBox* box = window->m_resolutionCombo;
    EXPECT_TRUE(box->isEditable());
    EXPECT_EQ(box->currentText(), "1280x720");
    EXPECT_EQ(box->count(), 4);
    const std::pair<const char*, QValidator::State> cases[] = {
        {"1280x720", QValidator::Acceptable}, {"99999x99999", QValidator::Acceptable},
        {"1280x", QValidator::Intermediate},  {"", QValidator::Intermediate},
        {"1x720", QValidator::Invalid},       {"1280x720x", QValidator::Invalid},
        {"123456x720", QValidator::Invalid},  {"1280X720", QValidator::Invalid},
        {"1280 x 720", QValidator::Invalid},
    };
    ASSERT_NE(box->validator(), nullptr);
    for (const auto& [input, state] : cases) {
        QString text = QString::fromLatin1(input);
        int position = text.size();
        EXPECT_EQ(box->validator()->validate(text, position), state) << input;
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
    const std::pair<QWidget*, int> spaceCases[] = {
        {window->m_openButton, 1}, {window->m_loopCheck, 1}, {window->m_resolutionCombo->lineEdit(), 0}};
    for (const auto& [focus, activations] : spaceCases) {
        activated.clear();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Space);
        EXPECT_EQ(activated.count(), activations) << focus->metaObject()->className();
    }
    // The focused controls did not take the key for themselves.
    EXPECT_EQ(openClicked.count(), 0);
    EXPECT_TRUE(window->m_loopCheck->isChecked());
    // True only when exactly this connection existed.
    EXPECT_TRUE(QObject::disconnect(space, SIGNAL(activated()), window.get(), SLOT(onPlayPause())));

    const std::pair<QAction*, QKeySequence::StandardKey> fileCases[] = {
        {window->m_openAction, QKeySequence::Open},
        {window->m_closeMediaAction, QKeySequence::Close},
        {window->m_quitAction, QKeySequence::Quit},
    };
    for (const auto& [action, key] : fileCases) {
        SCOPED_TRACE(action->text().toStdString());
        QObject::disconnect(action, nullptr, window.get(), nullptr);  // only the triggers count here (no dialog)
        EXPECT_EQ(action->shortcuts(), QKeySequence::keyBindings(key));
        QSignalSpy triggered(action, &QAction::triggered);
        for (const QKeySequence& keys : action->shortcuts())
            QTest::keySequence(window.get(), keys);
        EXPECT_EQ(triggered.count(), action->shortcuts().size());
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
        bool registerOn, unregisterOn, playOn, stopOn, resolutionOn, sliderOn;  // expected
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.setState(c.registered ? Ours : 0);
        window->install(system);
        window->m_currentFile = c.media == None ? QString() : QStringLiteral("media.file");
        window->m_isVideo = c.media == Video;
        window->m_sender.m_running = c.running;
        window->m_sender.m_paused = c.paused;
        window->updateControls();

        EXPECT_EQ(window->m_registerButton->isEnabled(), c.registerOn);
        EXPECT_EQ(window->m_unregisterButton->isEnabled(), c.unregisterOn);
        EXPECT_EQ(window->m_playButton->isEnabled(), c.playOn);
        EXPECT_EQ(window->m_playButton->text(), c.playText);
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
    const std::pair<double, const char*> cases[] = {
        {0.0, "0:00"},     {59.9, "0:59"},     {600.0, "10:00"},
        {3725.0, "62:05"}, {7200.0, "120:00"}, {2147483647.0, "35791394:07"},
        {-0.5, "0:00"},    {-3.0, "0:00"},     {2147483648.0, "0:00"},  // past 32 bits
        {std::numeric_limits<double>::infinity(), "0:00"},
        {std::nan(""), "0:00"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(formatTime(seconds), text) << seconds;
}

// The tool runs in the background: the status says what is under way and
// neither button can start a second run until the outcome arrives.
TEST(MainWindowTest, RegistrationSlotsReportTheOutcome)
{
    const struct {
        bool unregister;
        int toolExit;
        const char *busyText, *finalText;
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
        system.setState(c.unregister ? Ours : 0);
        system.writeTool(c.toolExit != 0 ? Effect::None : c.unregister ? Effect::Remove : Effect::Add, c.toolExit);
        window->install(system);
        window->updateControls();
        QSignalSpy finished(window->m_registrar, &CameraRegistrar::finished);

        c.unregister ? window->onUnregister() : window->onRegister();
        EXPECT_EQ(window->m_statusLabel->text(), c.busyText);
        EXPECT_FALSE(window->m_registerButton->isEnabled());
        EXPECT_FALSE(window->m_unregisterButton->isEnabled());

        ASSERT_TRUE(finished.wait(20000));
        EXPECT_EQ(window->m_statusLabel->text(), c.finalText);
        EXPECT_EQ(window->m_registerButton->isEnabled(), !c.registeredAfter);
        EXPECT_EQ(window->m_unregisterButton->isEnabled(), c.registeredAfter);
    }
}
