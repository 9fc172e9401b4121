#include "window_under_test.h"

#include <QActionGroup>
#include <QFrame>
#include <QLocalServer>
#include <QShortcut>
#include <QTextDocumentFragment>
#include <QValidator>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

// File names come from outside and must never be read as markup; a stored code
// (null: none stored) checks its own entry only, matched exactly.
TEST(MainWindowTest, StartsHiddenWithPlainFileNameAndExclusiveLanguages)
{
    const std::pair<QString, QStringList> cases[] = {{QString(), {"auto"}}, {"zh_CN", {"zh_CN"}}, {"DE", {}}, {"nl", {}}};
    for (const auto& [stored, expected] : cases) {
        auto window = makeWindow(stored);
        EXPECT_FALSE(window->isVisible() || !window->m_updateBanner->isHidden());
        EXPECT_EQ(window->m_fileLabel->textFormat(), Qt::PlainText);
        const QList<QAction*> languages = window->m_languageMenu->actions();
        QStringList codes, checked;
        for (QAction* action : languages) {
            codes << action->data().toString();
            if (action->isChecked())
                checked << codes.last();
            EXPECT_TRUE(action->actionGroup() && action->actionGroup()->isExclusive());
            EXPECT_EQ(action->actionGroup(), languages.first()->actionGroup());
        }
        EXPECT_EQ(codes, QStringList({"auto", "en", "fr", "es", "de", "it", "pt", "ru", "zh_CN", "ja"}));
        EXPECT_EQ(checked, expected) << stored.toStdString();
    }
}

// Two to five digits a side: what the box takes can become a size.
TEST(MainWindowTest, ResolutionBoxRefusesWhatCannotBecomeASize)
{
    auto window = makeWindow();
    const QValidator* validator = window->m_resolutionCombo->validator();
    ASSERT_NE(validator, nullptr);
    const std::pair<QString, QValidator::State> cases[] = {
        {"99999x99999", QValidator::Acceptable}, {"1280x", QValidator::Intermediate}, {"1x720", QValidator::Invalid},
        {"1280x720x", QValidator::Invalid}, {"123456x720", QValidator::Invalid}, {"1280X720", QValidator::Invalid}};
    for (auto [text, state] : cases) {
        int position = int(text.size());
        EXPECT_EQ(validator->validate(text, position), state) << text.toStdString();
    }
}

// Space is Play/Pause wherever the focus is, but in the resolution box's text field; every
// key the platform binds to Open, Close and Quit triggers its File entry (Close: Ctrl+F4, Ctrl+W).
TEST(MainWindowTest, KeysReachTheirHandlers)
{
    auto window = makeWindow();
    window->m_currentFile = QStringLiteral("clip.mp4");  // Close media needs a file
    window->updateControls();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    QShortcut* space = window->findChild<QShortcut*>();
    ASSERT_TRUE(space && space->key() == QKeySequence(Qt::Key_Space));
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
    EXPECT_TRUE(openClicked.isEmpty() && window->m_loopCheck->isChecked());  // nor took the focused controls it
    // True only when exactly this connection existed.
    EXPECT_TRUE(QObject::disconnect(space, SIGNAL(activated()), window.get(), SLOT(onPlayPause())));

    const std::pair<QAction*, QKeySequence::StandardKey> fileCases[] = {
        {window->m_openAction, QKeySequence::Open}, {window->m_closeMediaAction, QKeySequence::Close},
        {window->m_quitAction, QKeySequence::Quit}};
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

// What the registration label shows: "✓ Registered" (our device) or "✓ PipeWire" in green, with
// a tool tip on PipeWire's, or the grey "✗ Not registered".
QString shownRegistration(const WindowUnderTest& window)
{
    const QLabel* label = window.m_registrationLabel;
    const bool green = label->text().contains("#2a2");
    return QTextDocumentFragment::fromHtml(label->text()).toPlainText() + (green ? " green" : " grey") +
           (label->toolTip().contains("Register adds it") ? " tip" : "");
}

// Our device, a reachable PipeWire, the media and the stream: the label, the buttons and
// Play never contradict each other.
TEST(MainWindowTest, ControlsFollowRegistrationMediaAndStream)
{
    enum Media { None, Image, Video };
    const char* const registered = "\u2713 Registered green";
    const char* const pipewire = "\u2713 PipeWire green tip";
    const char* const notRegistered = "\u2717 Not registered grey";
    const struct {
        bool device, pipewire;
        Media media;
        bool running, paused;
        const char *enabled, *playText;  // register, unregister, play, stop, resolution, slider
        const char* label;
    } cases[] = {
        {false, false, None, false, false, "100010", " Play", notRegistered},
        {false, false, Video, false, false, "100011", " Play", notRegistered},
        {false, true, Video, false, false, "101011", " Play", pipewire},  // Register still makes the V4L2 device
        {false, true, Image, true, false, "101100", " Pause", pipewire},
        {true, false, None, false, false, "010010", " Play", registered},
        {true, true, Image, false, false, "011010", " Play", registered},
        {true, false, Video, true, false, "011101", " Pause", registered},
        {true, true, Video, true, true, "011101", " Play", registered},
        {false, false, Video, true, false, "100101", " Pause", notRegistered},  // registration gone mid-stream
    };
    auto window = makeWindow();
    const QWidget* controls[] = {window->m_registerButton, window->m_unregisterButton, window->m_playButton,
                                 window->m_stopButton,     window->m_resolutionCombo,  window->m_seekSlider};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        FakeSystem system;
        system.setState(c.device ? Ours : 0);
#ifdef _WIN32
        if (c.pipewire)  // a Linux state
            continue;
#else
        QLocalServer pipewireDaemon;
        ASSERT_TRUE(!c.pipewire || pipewireDaemon.listen(QString::fromStdString(system.setup().pipewireSocket)));
#endif
        window->install(system);
        window->m_currentFile = c.media == None ? QString() : QStringLiteral("media.file");
        window->m_isVideo = c.media == Video;
        window->m_sender.m_running = c.running;
        window->m_sender.m_paused = c.paused;
        window->updateControls();
        QString enabled;
        for (const QWidget* control : controls)
            enabled += control->isEnabled() ? u'1' : u'0';
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(window->m_playButton->text(), c.playText);
        EXPECT_EQ(window->m_closeMediaAction->isEnabled(), c.media != None);
        EXPECT_EQ(shownRegistration(*window), QString::fromUtf8(c.label));
    }
    window->m_sender.m_running = false;
}

TEST(MainWindowTest, FormatTime)
{
    const std::pair<double, const char*> cases[] = {
        {0.0, "0:00"},  {59.9, "0:59"},  {600.0, "10:00"}, {3725.0, "62:05"}, {7200.0, "120:00"},
        {2147483647.0, "35791394:07"}, {-3.0, "0:00"}, {2147483648.0, "0:00"},  // past 32 bits
        {std::numeric_limits<double>::infinity(), "0:00"}, {std::nan(""), "0:00"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(formatTime(seconds), text) << seconds;
}

namespace {

// What a label showed on screen, in order; with " first" where `toolRan` was still false.
class PaintedTexts : public QObject {
public:
    PaintedTexts(QLabel* label, std::function<bool()> toolRan) : m_toolRan(std::move(toolRan))
    {
        label->installEventFilter(this);
    }
    QStringList texts;

private:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            texts << static_cast<QLabel*>(watched)->text() + (m_toolRan() ? "" : " first");
        return false;
    }
    std::function<bool()> m_toolRan;
};

} // namespace

// The status says what is under way, painted before the outcome (on Windows, where the tool
// blocks the window, before it runs); neither button can start a second run meanwhile, and
// each slot ends in what the system shows then, a failure included.
TEST(MainWindowTest, RegistrationSlotsReportTheOutcome)
{
    const struct {
        bool unregister, pipewire;
        int toolExit;
        const char *finalText, *label;
    } cases[] = {
        {false, false, 0, "Camera registered!", "\u2713 Registered"},
        {false, false, 126, "Registration failed.", "\u2717 Not registered"},  // refused
        {false, true, 126, "Registration failed.", "\u2713 PipeWire"},
        {true, true, 0, "Camera unregistered.", "\u2713 PipeWire"},
        {true, false, 0, "Camera unregistered.", "\u2717 Not registered"},
        {true, false, 1, "Failed.", "\u2713 Registered"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finalText);
        auto window = makeWindow();
        FakeSystem system;
        system.setState(c.unregister ? Ours : 0);
        system.writeTool(c.toolExit != 0 ? Effect::None : c.unregister ? Effect::Remove : Effect::Add, c.toolExit);
#ifdef _WIN32
        if (c.pipewire)  // a Linux state
            continue;
#else
        QLocalServer pipewireDaemon;
        ASSERT_TRUE(!c.pipewire || pipewireDaemon.listen(QString::fromStdString(system.setup().pipewireSocket)));
#endif
        window->install(system);
        window->updateControls();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QSignalSpy finished(window->m_registrar, &CameraRegistrar::finished);
        PaintedTexts painted(window->m_statusLabel, [&] { return !system.toolArguments().isEmpty(); });

        c.unregister ? window->onUnregister() : window->onRegister();
        const QString underWay = c.unregister ? "Unregistering..." : "Registering...";
        EXPECT_EQ(window->m_statusLabel->text(), underWay);
        EXPECT_FALSE(window->m_registerButton->isEnabled() || window->m_unregisterButton->isEnabled());

        ASSERT_TRUE(finished.wait(20000));
        EXPECT_FALSE(system.toolArguments().isEmpty());
#ifdef _WIN32
        EXPECT_TRUE(painted.texts.contains(underWay + " first")) << painted.texts.join(" | ").toStdString();
#else
        EXPECT_FALSE(painted.texts.filter(underWay).isEmpty()) << painted.texts.join(" | ").toStdString();
#endif
        const bool registered = QString::fromUtf8(c.label) == u"\u2713 Registered";
        EXPECT_EQ(window->m_statusLabel->text(), c.finalText);
        EXPECT_EQ(QTextDocumentFragment::fromHtml(window->m_registrationLabel->text()).toPlainText(),
                  QString::fromUtf8(c.label));
        EXPECT_EQ(window->m_registerButton->isEnabled(), !registered);
        EXPECT_EQ(window->m_unregisterButton->isEnabled(), registered);
    }
}
