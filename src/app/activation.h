#pragma once

// The request by which a second start of the program asks the running
// instance to come to the front: a window message registered by name, so
// every process of the system computes the same id.

// Posts the request to every top-level window of the system, hidden ones
// included. False when it could not be posted; nobody answering is no error.
bool postActivationRequest();

// True when `nativeMessage` (a Windows MSG*, as the native event hook gets
// it; null allowed) is the request.
bool isActivationRequest(const void* nativeMessage);
