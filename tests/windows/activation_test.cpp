#include "app/activation.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// Owns a child process; one still running when the test ends is ended.
struct ProcessCloser {
    void operator()(HANDLE process) const
    {
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }
};
using Process = std::unique_ptr<void, ProcessCloser>;

} // namespace

TEST(Activation, RecognisesOnlyTheMessageRegisteredByName)
{
    // Registered here independently: every process naming it gets this id.
    const UINT activate = RegisterWindowMessageW(L"Orvenna_Activate");
    ASSERT_NE(activate, 0u);
    const UINT other = RegisterWindowMessageW(L"Orvenna_Something_Else");

    struct Case {
        UINT id;
        bool expected;
    };
    for (const Case& c : {Case{activate, true}, Case{other, false}, Case{WM_NULL, false},
                          Case{WM_ACTIVATE, false}}) {
        MSG message = {};
        message.message = c.id;
        EXPECT_EQ(isActivationRequest(&message), c.expected) << "message " << c.id;
    }
    EXPECT_FALSE(isActivationRequest(nullptr));
}

TEST(Activation, BroadcastReachesAHiddenWindowOfAnotherProcess)
{
    const std::string readyName =
        "Local\\OrvennaActivationReady-" + std::to_string(GetCurrentProcessId());
    const Handle ready(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    ASSERT_TRUE(ready);

    // A bare program name is looked up in this program's directory first.
    std::wstring commandLine = L"activation_listener.exe "
                               + std::wstring(readyName.begin(), readyName.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    const Process listener(started.hProcess);
    CloseHandle(started.hThread);

    // Its window exists once the event is set; a listener that quits early
    // must not leave the wait hanging.
    const HANDLE readyOrGone[] = {ready.get(), listener.get()};
    ASSERT_EQ(WaitForMultipleObjects(2, readyOrGone, FALSE, 30000), WAIT_OBJECT_0)
        << "the listener did not get ready";

    ASSERT_TRUE(postActivationRequest());
    ASSERT_EQ(WaitForSingleObject(listener.get(), 40000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ASSERT_TRUE(GetExitCodeProcess(listener.get(), &exitCode));
    EXPECT_EQ(exitCode, 0u) << "2: the request never reached the listener's window";
}
