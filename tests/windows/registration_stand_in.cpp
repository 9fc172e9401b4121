// The camera library's registration entry points: they create and delete the filter's class
// key as the real ones do; with ORVENNA_STAND_IN_FAILS set, registration fails.
#include <windows.h>

static constexpr wchar_t kFilterKey[] = L"CLSID\\{AEF3B972-5FA5-4647-9571-358EB472BC9E}";

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer()
{
    if (GetEnvironmentVariableW(L"ORVENNA_STAND_IN_FAILS", nullptr, 0) != 0)
        return E_FAIL;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kFilterKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return E_FAIL;
    RegCloseKey(key);
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    const LSTATUS status = RegDeleteKeyW(HKEY_CLASSES_ROOT, kFilterKey);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : E_FAIL;
}
