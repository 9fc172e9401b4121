// Helper of activation_test: a hidden top-level window; sets the event named by its argument,
// exits with 0 when the activation request arrives, 2 when none came within 30 s, 3 on set-up errors.
#include "app/activation.h"

#include <windows.h>

int main(int argc, char** argv)
{
    // No WS_VISIBLE: like the program's window while it sits in the tray.
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    const HANDLE ready = argc == 2 ? OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]) : nullptr;
    if (!window || !ready || !SetEvent(ready))
        return 3;
    CloseHandle(ready);

    SetTimer(window, 1, 30000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
        if (isActivationRequest(&message))
            return 0;
        DispatchMessageW(&message);
    }
    return 2;
}
