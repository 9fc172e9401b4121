#include "app/activation.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

TEST(Activation, RecognisesOnlyTheMessageRegisteredByName)
{
    // Registered here independently: every process naming it gets this id.
    const UINT activate = RegisterWindowMessageW(L"Orvenna_Activate");
    ASSERT_NE(activate, 0u);
    for (const UINT id : {activate, RegisterWindowMessageW(L"Orvenna_Else"), UINT(WM_NULL), UINT(WM_ACTIVATE)}) {
        MSG message{};
        message.message = id;
        EXPECT_EQ(isActivationRequest(&message), id == activate) << "message " << id;
    }
    EXPECT_FALSE(isActivationRequest(nullptr));
}

TEST(Activation, BroadcastReachesAHiddenWindowOfAnotherProcess)
{
    const std::string readyName = "Local\\OrvennaActivationReady-" + std::to_string(GetCurrentProcessId());
    const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    ASSERT_TRUE(ready);
    // A bare program name is looked up in this program's directory first.
    std::string commandLine = "activation_listener.exe " + readyName;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started));
    CloseHandle(started.hThread);
    struct Listener {  // ends a listener still running when the test ends
        HANDLE process;
        ~Listener() { TerminateProcess(process, 1), CloseHandle(process); }
    } const listener{started.hProcess};

    // Its window exists once the event is set; one quitting early must not hang the wait.
    const HANDLE readyOrGone[] = {ready, listener.process};
    ASSERT_EQ(WaitForMultipleObjects(2, readyOrGone, FALSE, 30000), WAIT_OBJECT_0) << "the listener did not get ready";
    CloseHandle(ready);

    ASSERT_TRUE(postActivationRequest());
    ASSERT_EQ(WaitForSingleObject(listener.process, 40000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ASSERT_TRUE(GetExitCodeProcess(listener.process, &exitCode));
    EXPECT_EQ(exitCode, 0u) << "2: the request never reached the listener's window";
}
