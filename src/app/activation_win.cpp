#include "app/activation.h"

#include <windows.h>

namespace {

// Registered during static initialisation; 0 only when registration failed.
const UINT kActivateMessage = RegisterWindowMessageW(L"Orvenna_Activate");

} // namespace

bool postActivationRequest()
{
    return kActivateMessage != 0 && PostMessageW(HWND_BROADCAST, kActivateMessage, 0, 0) != FALSE;
}

bool isActivationRequest(const void* nativeMessage)
{
    const MSG* message = static_cast<const MSG*>(nativeMessage);
    return message && kActivateMessage != 0 && message->message == kActivateMessage;
}
