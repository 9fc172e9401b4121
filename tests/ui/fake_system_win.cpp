#include "fake_system_win.h"

#include <windows.h>

void FakeSystem::apply() const
{
    constexpr wchar_t kFilterKey[] = L"CLSID\\{AEF3B972-5FA5-4647-9571-358EB472BC9E}";
    HKEY key = nullptr;
    if (!m_registered)
        RegDeleteKeyW(HKEY_CLASSES_ROOT, kFilterKey);
    else if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kFilterKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr)
             == ERROR_SUCCESS)
        RegCloseKey(key);
}
