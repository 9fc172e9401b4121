#pragma once

// Process-wide services the media layers rely on, started on the GUI thread
// before any decoder or image loader is used and stopped after the event
// loop has ended. Windows: COM (apartment-threaded, for the imaging
// component) and Media Foundation (for the video decoder).

// True when every service started. The program goes on either way: the media
// layers report their own failures.
bool startPlatformServices();
// Stops what startPlatformServices started, in reverse order.
void stopPlatformServices();
