#pragma once

// Registration of the virtual camera with the system, so that other
// applications can see it. The system is asked afresh every time; nothing is
// cached. Qt-free: the window's registration slots call these.

// True when the camera is registered (Windows: the camera library's filter
// class key can be opened for reading).
bool isSoftcamRegistered();

// Registers the camera library beside the program, or removes that
// registration; true only when the system tool ran and exited with code 0.
// Blocks the calling thread for at most about 10 s of waiting.
bool runRegsvr32(bool unregister);
