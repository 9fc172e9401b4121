#pragma once

// Registration of the virtual camera with the system, so that other
// applications can see it. The system is asked afresh every time; nothing is
// cached. Each call blocks the calling thread for at most about 10 s.

// True when the camera is registered.
bool isCameraRegistered();
// Registers the camera library beside the program. True on success.
bool registerCamera();
// Removes the registration made by registerCamera. True on success.
bool unregisterCamera();
