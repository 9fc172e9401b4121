#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

// The cross toolchain's threads and the Windows API both work in the prefix.
TEST(WineSmoke, ThreadsAndWindowsApiRun)
{
    DWORD threadId = 0;
    std::thread worker([&] { threadId = GetCurrentThreadId(); });
    worker.join();
    EXPECT_NE(threadId, 0u);
    EXPECT_NE(threadId, GetCurrentThreadId());

    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    EXPECT_EQ(GetFileAttributesW(windows) & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY));
}
