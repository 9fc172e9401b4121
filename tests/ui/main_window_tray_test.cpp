#include "window_on_file.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QSessionManager>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

// Ends the event loop with 1 once the events of normal priority have run,
// unless the program is quitting by itself.
class LastInLine : public QObject {
public:
    LastInLine() { qApp->installEventFilter(this); }
    void post() { QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        m_quitSeen |= event->type() == QEvent::Quit;
        return false;
    }
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        // An accepted quit ends the loop in this round; a refused one does not.
        if (std::exchange(m_quitSeen, false))
            post();
        else
            QCoreApplication::exit(1);
        return true;
    }

private:
    bool m_quitSeen = false;
};

// Runs the event loop around `act`: true when the program ends by itself.
bool endsTheProgram(const std::function<void()>& act)
{
    LastInLine last;
    QTimer::singleShot(0, &last, [&] {
        act();
        last.post();
    });
    return QApplication::exec() == 0;
}

} // namespace

TEST(TrayIcon, MenuEntriesAndTheirTexts)
{
    QTemporaryDir dir;
    WindowOnFile window(dir.path() + "/orvenna.ini");
    QStringList texts;
    for (QAction* action : window.m_trayMenu->actions())
        texts << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(texts, QStringList({"Show Orvenna", "-", "Open media...", "Play", "Stop", "-", "Quit"}));
    EXPECT_EQ(window.m_trayIcon->contextMenu(), window.m_trayMenu);
    EXPECT_EQ(window.m_trayIcon->toolTip(), "Orvenna");
    EXPECT_TRUE(window.m_trayIcon->isVisible());

    // A language change re-sets the texts, all but "Stop".
    window.m_trayShowAction->setText("stale");
    window.m_trayStopAction->setText("stale");
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&window, &change);
    EXPECT_EQ(window.m_trayShowAction->text(), "Show Orvenna");
    EXPECT_EQ(window.m_trayStopAction->text(), "stale");
}

TEST(TrayIcon, ClicksThatBringTheWindowBack)
{
    const std::pair<QSystemTrayIcon::ActivationReason, bool> cases[] = {
        {QSystemTrayIcon::DoubleClick, true},
        {QSystemTrayIcon::Trigger, true},  // trays that report single clicks only
        {QSystemTrayIcon::MiddleClick, false},
        {QSystemTrayIcon::Context, false},
    };
    QTemporaryDir dir;
    for (const auto& [reason, shows] : cases) {
        SCOPED_TRACE(reason);
        WindowOnFile window(dir.path() + "/orvenna.ini");
        emit window.m_trayIcon->activated(reason);
        EXPECT_EQ(window.isVisible(), shows);
    }
    WindowOnFile window(dir.path() + "/orvenna.ini");
    window.showMinimized();
    window.m_trayShowAction->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
}

TEST(Closing, WhatEachWayOfClosingEndsAndSaves)
{
    enum How { Close, FileQuit, TrayQuit };
    const struct {
        const char* name;
        bool trayChoice, trayShown;
        How how;
        bool shown, ends;
    } cases[] = {
        {"close into the tray", true, true, Close, true, false},
        {"close, tray choice off", false, true, Close, true, true},
        {"close without a notification area", true, false, Close, true, true},
        {"File Quit, tray choice on", true, true, FileQuit, true, true},
        {"tray Quit, window shown", true, true, TrayQuit, true, true},
        {"tray Quit, window in the tray", true, true, TrayQuit, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.path() + "/orvenna.ini";
        {
            WindowOnFile window(path);
            window.m_trayShown = c.trayShown;
            window.m_minimizeToTrayAction->setChecked(c.trayChoice);
            window.m_resolutionCombo->setCurrentIndex(2);
            if (c.shown)
                window.show();
            EXPECT_EQ(endsTheProgram([&] {
                          if (c.how == TrayQuit)
                              window.m_trayQuitAction->trigger();
                          else
                              c.how == FileQuit ? window.onQuit() : void(window.close());
                      }),
                      c.ends);
            EXPECT_FALSE(window.isVisible());
            EXPECT_EQ(window.m_trayIcon->isVisible(), !c.ends);
        }
        // Every end saves; hiding into the tray saves nothing, and the
        // stored tray choice is the user's, whatever the desktop offers.
        const QSettings stored(path, QSettings::IniFormat);
        EXPECT_EQ(stored.contains("windowGeometry"), c.ends);
        EXPECT_EQ(stored.value("resolution").toString(), c.ends ? "1920x1080" : "");
        EXPECT_EQ(stored.value("minimizeToTray", true).toBool(), c.trayChoice);
    }
}

TEST(Closing, ASessionEndSavesWhatTheTrayKeepsHidden)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/orvenna.ini";
    WindowOnFile window(path);
    window.m_resolutionCombo->setCurrentIndex(2);
    window.show();
    window.close();
    ASSERT_TRUE(window.isHidden());
    EXPECT_FALSE(QFile::exists(path));

    auto* session = qApp->findChild<QSessionManager*>();
    ASSERT_NE(session, nullptr);
    emit qApp->commitDataRequest(*session);
    EXPECT_TRUE(fileBytes(path).contains("resolution=1920x1080"));
    EXPECT_TRUE(fileBytes(path).contains("windowGeometry="));
}
