#include "camera/camera_registration.h"

#include "camera/module_path_win.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

// The class key of the camera library's DirectShow filter.
constexpr wchar_t kFilterKey[] = L"CLSID\\{AEF3B972-5FA5-4647-9571-358EB472BC9E}";
constexpr DWORD kToolTimeoutMs = 10000;

#ifdef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOW) == 112);
#endif

// Full path of a tool in the system directory, or empty.
std::wstring systemTool(const wchar_t* fileName)
{
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(directory, length) + L"\\" + fileName;
}

} // namespace

// regsvr32, elevated and silent, on softcam.dll beside the program.
bool runRegsvr32(bool unregister)
{
    const std::wstring directory = programDirectory();
    if (directory.empty())
        return false;
    const std::wstring library = directory + L"softcam.dll";
    if (GetFileAttributesW(library.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    // By its full path: a bare name is looked up in the current directory
    // first, where a planted copy would run elevated.
    const std::wstring tool = systemTool(L"regsvr32.exe");
    if (tool.empty())
        return false;
    // Quoted, so that a directory with blanks reaches the tool whole.
    const std::wstring parameters = (unregister ? L"/s /u \"" : L"/s \"") + library + L"\"";

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = nullptr;
    info.lpVerb = L"runas";
    info.lpFile = tool.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = nullptr;
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info))
        return false;
    if (!info.hProcess)
        return false;

    WaitForSingleObject(info.hProcess, kToolTimeoutMs);
    // A tool still running reports STILL_ACTIVE (259) and so counts as failed.
    DWORD exitCode = 1;
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hProcess);
    return exitCode == 0;
}

bool isSoftcamRegistered()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kFilterKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
