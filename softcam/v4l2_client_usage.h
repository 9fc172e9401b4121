#pragma once

#include <cstdint>

#include <linux/videodev2.h>

// Readers of a v4l2loopback device, told by the module's client-usage event
// (module 0.13 and later): queued when a reader starts or stops streaming,
// payload a 32-bit count of streaming readers.

// The call every ioctl here goes through; tests pass their own.
using IoctlFunction = int (*)(int fd, unsigned long request, void* argument);
int systemIoctl(int fd, unsigned long request, void* argument);

constexpr uint32_t kClientUsageEvent = V4L2_EVENT_PRIVATE_START + 0x08E00000 + 1;

// Subscribes `fd` with the current state sent at once. False where the module
// has no such event (older modules answer EINVAL): nothing tells of readers
// there.
bool subscribeClientUsage(int fd, IoctlFunction ioctl = systemIoctl);

// True when events wait to be dequeued (poll reports POLLPRI). Never blocks.
bool eventsPending(int fd);

// Dequeues the pending events (call only when eventsPending: on a blocking
// descriptor the dequeue waits) and returns whether readers stream after the
// newest usage event, or `streaming` when none came.
bool readClientUsage(int fd, bool streaming, IoctlFunction ioctl = systemIoctl);
