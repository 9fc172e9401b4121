// Orvenna.exe as Windows users get it, driven from outside as they would:
// package_test PORTABLE_DIR INSTALLER. The portable copy (the unpacked zip)
// answers a second start and keeps its settings beside itself; the installer
// installs silently, its program starts and quits, and the uninstaller leaves
// nothing of the program behind. Programs find no DLL but their own.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path g_portable, g_installer;
constexpr auto kPatience = 60s;  // Wine starts programs slowly on a loaded machine
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvenna";

// Until `done()` holds or the patience runs out; whether it held.
template <typename Condition>
bool waitFor(Condition done)
{
    for (const auto end = std::chrono::steady_clock::now() + kPatience; !done();) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// A process started as the shell starts it (elevating where the program asks to).
class Process {
public:
    explicit Process(const fs::path& program, const wchar_t* parameters = nullptr)
    {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
        info.lpFile = program.c_str();
        info.lpParameters = parameters;
        info.nShow = SW_SHOWNORMAL;
        if (ShellExecuteExW(&info))
            m_handle = info.hProcess;
    }
    ~Process()
    {
        if (m_handle && WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_handle, 1);
        if (m_handle)
            CloseHandle(m_handle);
    }
    Process(const Process&) = delete;

    // The exit code, or -1 while it still runs when the patience runs out.
    long exitCode() const
    {
        DWORD code = 0;
        if (!m_handle || WaitForSingleObject(m_handle, DWORD(kPatience / 1ms)) != WAIT_OBJECT_0
            || !GetExitCodeProcess(m_handle, &code))
            return -1;
        return long(code);
    }

    // Its visible top-level window, once it shows one; null if none comes.
    HWND window() const
    {
        struct Search {
            DWORD id;
            HWND found;
        } search = {GetProcessId(m_handle), nullptr};
        waitFor([&] {
            EnumWindows(
                [](HWND hwnd, LPARAM data) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(data);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(hwnd, &owner);
                    if (owner == s->id && IsWindowVisible(hwnd) && GetWindowTextLengthW(hwnd) > 0)
                        s->found = hwnd;
                    return !s->found;
                },
                LPARAM(&search));
            return search.found != nullptr;
        });
        return search.found;
    }

private:
    HANDLE m_handle = nullptr;
};

// What Windows does at log-off: asks the program whether the session may end, then ends it.
void endSession(HWND window)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 20000, &answer);
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 20000, &answer);
}

// Moves and resizes `window` and has it paint at once: Qt hands the new place to its widgets
// later, from its event loop, or before it paints.
void place(HWND window, int x, int y, int width, int height)
{
    SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

RECT placeOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

fs::path knownFolder(REFKNOWNFOLDERID id)
{
    wchar_t* path = nullptr;
    fs::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        result = path;
    CoTaskMemFree(path);
    return result;
}

std::wstring uninstallValue(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// Where a shortcut leads; empty when it cannot be read.
fs::path shortcutTarget(const fs::path& link)
{
    IShellLinkW* shortcut = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shortcut)))
        && SUCCEEDED(shortcut->QueryInterface(IID_PPV_ARGS(&file))) && SUCCEEDED(file->Load(link.c_str(), STGM_READ)))
        shortcut->GetPath(target, MAX_PATH, nullptr, 0);
    if (file)
        file->Release();
    if (shortcut)
        shortcut->Release();
    return target;
}

// Whether the program's manifest has Windows ask for administrator rights before it starts.
bool asksForAdministrator(const fs::path& program)
{
    const HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto kManifest = MAKEINTRESOURCEW(24);
    const HRSRC found = module ? FindResourceW(module, MAKEINTRESOURCEW(1), kManifest) : nullptr;
    const std::string_view manifest = found ? std::string_view(static_cast<const char*>(LockResource(
                                                  LoadResource(module, found))), SizeofResource(module, found))
                                            : std::string_view();
    const bool asks = manifest.find("requireAdministrator") != std::string_view::npos;
    if (module)
        FreeLibrary(module);
    return asks;
}

} // namespace

TEST(PortableCopy, ASecondStartBringsTheFirstForwardAndSettingsStayBesideIt)
{
    const fs::path program = g_portable / L"Orvenna.exe", settings = g_portable / L"orvenna.ini";
    ASSERT_TRUE(fs::exists(program));
    EXPECT_FALSE(fs::exists(g_portable / L"softcam.dll"));  // not ours to ship
    EXPECT_FALSE(asksForAdministrator(program));
    fs::remove(settings);

    Process first(program);
    const HWND window = first.window();
    ASSERT_TRUE(window);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    EXPECT_EQ(Process(program).exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) && !IsIconic(window); }));

    place(window, 40, 30, 900, 700);
    const RECT placed = placeOf(window);
    endSession(window);
    EXPECT_EQ(first.exitCode(), 0);
    std::ifstream stored(settings);
    const std::string text((std::istreambuf_iterator<char>(stored)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("windowGeometry="), std::string::npos) << text;

    Process again(program);
    const HWND restored = again.window();
    ASSERT_TRUE(restored);
    const RECT restoredPlace = placeOf(restored);
    EXPECT_TRUE(EqualRect(&restoredPlace, &placed)) << text;
    endSession(restored);
    EXPECT_EQ(again.exitCode(), 0);
}

TEST(Installer, InstallsForEveryoneStartsAndUninstallsLeavingOnlyTheSettings)
{
    ASSERT_TRUE(fs::exists(g_installer));
    EXPECT_TRUE(asksForAdministrator(g_installer));
    ASSERT_EQ(Process(g_installer, L"/S").exitCode(), 0);

    const fs::path folder = knownFolder(FOLDERID_ProgramFiles) / L"Orvenna", program = folder / L"Orvenna.exe";
    const fs::path menu = knownFolder(FOLDERID_CommonPrograms) / L"Orvenna";
    ASSERT_TRUE(fs::exists(program));
    EXPECT_TRUE(fs::exists(folder / L"platforms/qwindows.dll"));
    std::error_code error;
    EXPECT_TRUE(fs::equivalent(shortcutTarget(menu / L"Orvenna.lnk"), program, error));  // its icon is the program's
    EXPECT_GT(ExtractIconExW(program.c_str(), -1, nullptr, nullptr, 0), 0u);
    EXPECT_EQ(uninstallValue(L"DisplayName"), L"Orvenna");
    EXPECT_EQ(fs::path(uninstallValue(L"DisplayIcon")), program);
    std::wstring command = uninstallValue(L"UninstallString");  // quoted
    command.erase(std::remove(command.begin(), command.end(), L'"'), command.end());
    const fs::path uninstaller = command;
    ASSERT_TRUE(fs::exists(uninstaller));

    Process installed(program);
    const HWND window = installed.window();
    ASSERT_TRUE(window);
    endSession(window);
    EXPECT_EQ(installed.exitCode(), 0);

    // The uninstaller goes on in a copy of itself: the key, itself and the menu entry go.
    EXPECT_EQ(Process(uninstaller, L"/S").exitCode(), 0);
    EXPECT_TRUE(waitFor([&] {
        HKEY key = nullptr;
        const bool listed = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (listed)
            RegCloseKey(key);
        return !listed && !fs::exists(folder / L"Uninstall.exe") && !fs::exists(menu);
    }));
    // Under Wine Program Files can be written, so the settings lay beside the program.
    fs::remove(folder / L"orvenna.ini");
    EXPECT_TRUE(!fs::exists(folder) || fs::is_empty(folder));
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3)
        return std::fputs("usage: package_test PORTABLE_DIR INSTALLER\n", stderr), 2;
    g_portable = argv[1];
    g_installer = argv[2];
    // Nothing but the system on the search path: the copies must bring their own DLLs.
    wchar_t system[MAX_PATH] = {}, windows[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    GetWindowsDirectoryW(windows, MAX_PATH);
    SetEnvironmentVariableW(L"PATH", (std::wstring(system) + L";" + windows).c_str());
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
