#include "window_under_test.h"

#include <QApplication>
#include <QSessionManager>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <utility>

namespace {

using Window = WindowUnderTest;

// Runs the event loop around `act`: true when the program ends by itself. Once the events
// of normal priority have run, ends the loop with 1 unless a quit was asked in that round.
class LastInLine : public QObject {
public:
    bool endsTheProgram(const std::function<void()>& act)
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(0, this, [&] { act(), post(); });
        return QApplication::exec() == 0;
    }

private:
    void post() { QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority); }
    bool eventFilter(QObject*, QEvent* event) override { return m_quitSeen |= event->type() == QEvent::Quit, false; }
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        std::exchange(m_quitSeen, false) ? post() : QCoreApplication::exit(1);
        return true;
    }
    bool m_quitSeen = false;
};

} // namespace

// "Send sound as a microphone" exists only where the camera library brings a microphone.
#ifdef Q_OS_WIN
constexpr bool kSoundEntry = false;
#else
constexpr bool kSoundEntry = true;
#endif

TEST(Closing, WhatEachWayOfClosingEndsAndKeeps)
{
    enum How { Close, FileQuit, TrayQuit, SessionEnd };
    const struct {
        const char* name;
        bool trayChoice, trayShown;
        How how;
        bool shown, ends, saves;
    } cases[] = {
        {"close into the tray", true, true, Close, true, false, false},
        {"close, tray choice off", false, true, Close, true, true, true},
        {"close without a notification area", true, false, Close, true, true, true},
        {"File Quit, tray choice on", true, true, FileQuit, true, true, true},
        {"tray Quit, window shown", true, true, TrayQuit, true, true, true},
        {"tray Quit, window in the tray", true, true, TrayQuit, false, true, true},
        {"session end, window in the tray", true, true, SessionEnd, false, false, true},
    };
    auto* session = qApp->findChild<QSessionManager*>();
    ASSERT_NE(session, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.path() + "/Orvenna/orvenna.ini";  // a directory yet to be made
        {
            Window window(path);
            window.m_trayShown = c.trayShown;
            window.m_minimizeToTrayAction->setChecked(c.trayChoice);
            ASSERT_EQ(window.m_sendSoundAction != nullptr, kSoundEntry);
            if (kSoundEntry) {
                EXPECT_FALSE(window.m_sendSoundAction->isChecked());  // off at first
                window.m_sendSoundAction->setChecked(c.trayChoice);
            }
            window.resize(900, 700);
            window.m_resolutionCombo->setEditText("800x600");
            window.m_stretchCheck->setChecked(true);
            window.setVisible(c.shown);
            EXPECT_EQ(LastInLine().endsTheProgram([&] {
                          c.how == TrayQuit     ? window.m_trayQuitAction->trigger()
                          : c.how == FileQuit   ? window.onQuit()
                          : c.how == SessionEnd ? emit qApp->commitDataRequest(*session)
                                                : void(window.close());
                      }),
                      c.ends);
            EXPECT_FALSE(window.isVisible());
            EXPECT_EQ(window.m_trayIcon->isVisible(), !c.ends);
        }
        // The tray and sound choices were stored when made, whatever the desktop offers; the rest
        // only on a save.
        Window next(path);
        EXPECT_EQ(next.m_minimizeToTrayAction->isChecked(), c.trayChoice);
        if (kSoundEntry) {
            EXPECT_EQ(next.m_sendSoundAction->isChecked(), c.trayChoice);
        }
        EXPECT_EQ(std::tuple(next.size() == QSize(900, 700), next.m_resolutionCombo->currentText() == "800x600",
                             next.m_stretchCheck->isChecked()), std::tuple(c.saves, c.saves, c.saves));
        EXPECT_EQ(QSettings(path, QSettings::IniFormat).value("lastFile"), c.saves ? "" : QVariant());
    }
}

// Windows' notification area reports a double click as a single click first: only the
// second shows the window there, while Linux trays may report single clicks only.
TEST(Closing, TrayClicksShowTheWindow)
{
#ifdef _WIN32
    constexpr bool singleClickShows = false;
#else
    constexpr bool singleClickShows = true;
#endif
    QTemporaryDir dir;
    const std::pair<QSystemTrayIcon::ActivationReason, bool> cases[] = {
        {QSystemTrayIcon::DoubleClick, true}, {QSystemTrayIcon::Trigger, singleClickShows},
        {QSystemTrayIcon::MiddleClick, false}, {QSystemTrayIcon::Context, false}};
    for (const auto& [reason, shows] : cases) {
        Window window(dir.path() + "/orvenna.ini");
        window.showMinimized();
        window.setVisible(false);
        emit window.m_trayIcon->activated(reason);
        EXPECT_EQ(window.isVisible() && !window.isMinimized(), shows) << reason;
    }
}
