// Put in the tests' Wine prefix as system32\regsvr32.exe. Does what Windows'
// does with "[/s] [/u] LIBRARY" (calls the library's DllRegisterServer or
// DllUnregisterServer; 0 on success, 3 when it cannot load, 4 without the
// entry point, 5 when the call fails) and more for tests: writes its
// arguments, one a line, to the file %ORVENNA_REGSVR32_LOG%, and with
// %ORVENNA_REGSVR32_EXIT% set exits with that code at once.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (const wchar_t* log = _wgetenv(L"ORVENNA_REGSVR32_LOG")) {
        if (FILE* file = _wfopen(log, L"w, ccs=UTF-8")) {
            for (int i = 1; i < argc; ++i)
                std::fwprintf(file, L"%ls\n", argv[i]);
            std::fclose(file);
        }
    }
    if (const wchar_t* code = _wgetenv(L"ORVENNA_REGSVR32_EXIT"))
        return std::wcstol(code, nullptr, 10);

    bool unregister = false;
    const wchar_t* library = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (_wcsicmp(argv[i], L"/u") == 0)
            unregister = true;
        else if (argv[i][0] != L'/')
            library = argv[i];
    }
    const HMODULE module = library ? LoadLibraryW(library) : nullptr;
    if (!module)
        return 3;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
        GetProcAddress(module, unregister ? "DllUnregisterServer" : "DllRegisterServer")));
    const int result = !entry ? 4 : FAILED(entry()) ? 5 : 0;
    FreeLibrary(module);
    return result;
}
