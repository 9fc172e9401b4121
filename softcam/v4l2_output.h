#pragma once

#include "frame_converter.h"
#include "v4l2_client_usage.h"

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Writes all `size` bytes to `fd`: retries calls cut short by a signal, and
// continues a short write from where it stopped. False on any other error.
using WriteFunction = ssize_t (*)(int fd, const void* data, size_t size);
bool writeWhole(int fd, const uint8_t* data, size_t size, WriteFunction write);

// The output side of one v4l2loopback device, set up for a camera's size and
// rate: YUYV, or I420 where the driver's YUYV rows differ from ours (odd
// widths). Used by one thread.
class V4l2Output {
public:
    // Null unless `path` is a v4l2loopback device that accepts a writer of
    // this size now (another writer, for one, makes it refuse). Every ioctl
    // goes through `ioctl`.
    static std::unique_ptr<V4l2Output> open(const std::string& path, int width, int height,
                                            double framesPerSecond, IoctlFunction ioctl = systemIoctl);
    ~V4l2Output();
    V4l2Output(const V4l2Output&) = delete;
    V4l2Output& operator=(const V4l2Output&) = delete;

    // Converts one BGR frame and writes it whole. False when the device is
    // gone or broken: the caller drops this object.
    bool write(const uint8_t* bgr);

    // True while at least one reader streams, as the module last told; always
    // false on modules that do not tell. Never blocks.
    bool readersStreaming();

private:
    V4l2Output(int fd, IoctlFunction ioctl) : m_fd(fd), m_ioctl(ioctl) {}

    int m_fd;
    IoctlFunction m_ioctl;
    FrameConverter m_converter;
    std::vector<uint8_t> m_frame;
    bool m_usageEvents = false;
    bool m_streaming = false;
};
