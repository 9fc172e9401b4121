#include "v4l2_client_usage.h"

#include <poll.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

int systemIoctl(int fd, unsigned long request, void* argument)
{
    int result;
    do
        result = ::ioctl(fd, request, argument);
    while (result < 0 && errno == EINTR);
    return result;
}

bool subscribeClientUsage(int fd, IoctlFunction ioctl)
{
    v4l2_event_subscription subscription{};
    subscription.type = kClientUsageEvent;
    subscription.flags = V4L2_EVENT_SUB_FL_SEND_INITIAL;
    return ioctl(fd, VIDIOC_SUBSCRIBE_EVENT, &subscription) == 0;
}

bool eventsPending(int fd)
{
    pollfd events{fd, POLLPRI, 0};
    return poll(&events, 1, 0) == 1 && (events.revents & POLLPRI);
}

bool readClientUsage(int fd, bool streaming, IoctlFunction ioctl)
{
    v4l2_event event{};
    do {
        if (ioctl(fd, VIDIOC_DQEVENT, &event) != 0)
            break;
        if (event.type == kClientUsageEvent) {
            uint32_t count = 0;
            std::memcpy(&count, event.u.data, sizeof count);
            streaming = count > 0;
        }
    } while (event.pending > 0);
    return streaming;
}
