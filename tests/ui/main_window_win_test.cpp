// The window as Windows has it: its system window, and no camera library beside the program.
#include "window_under_test.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(WindowOnWindows, SystemWindowHasTheTitleAndKeepsTheMinimumSize)
{
    auto window = makeWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const auto handle = reinterpret_cast<HWND>(window->winId());
    wchar_t title[64] = {};
    GetWindowTextW(handle, title, 64);
    EXPECT_TRUE(window->windowTitle().startsWith("Orvenna v"));
    EXPECT_EQ(QString::fromWCharArray(title), window->windowTitle());

    // Narrower than the window allows and taller than it is, as a drag on a corner asks.
    RECT outer = {}, client = {};
    GetWindowRect(handle, &outer);
    GetClientRect(handle, &client);
    const QSize frame(outer.right - outer.left - client.right, outer.bottom - outer.top - client.bottom);
    const QSize minimum = window->minimumSize(), asked(minimum.width() - 100, minimum.height() + 50);
    ASSERT_TRUE(SetWindowPos(handle, nullptr, 0, 0, frame.width() + asked.width(), frame.height() + asked.height(),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    GetClientRect(handle, &client);
    EXPECT_EQ(QSize(client.right, client.bottom), QSize(minimum.width(), asked.height()));
}

// The start says where the library belongs; Register then fails at once, running nothing.
TEST(WindowOnWindows, WithoutTheCameraLibrarySaysWhereItBelongs)
{
    ASSERT_EQ(GetModuleHandleW(L"softcam.dll"), nullptr);  // nothing holds the one beside the program
    const QString library = QCoreApplication::applicationDirPath() + "/softcam.dll", aside = library + ".aside";
    ASSERT_TRUE(QFile::rename(library, aside));
    struct PutBack {
        const QString &from, &to;
        ~PutBack() { QFile::rename(from, to); }
    } putBack{aside, library};

    auto window = makeWindow();
    EXPECT_EQ(window->m_statusLabel->text(), "softcam.dll not found. Place it next to Orvenna.exe");
    FakeSystem system;
    window->install(system);
    QSignalSpy finished(window->m_registrar, &CameraRegistrar::finished);
    window->onRegister();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(window->m_statusLabel->text(), "Registration failed.");
    EXPECT_TRUE(system.toolArguments().isEmpty());
}
