#include "v4l2_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <numeric>

#include <linux/videodev2.h>
#include <spa/param/video/raw.h>

namespace {

struct OutputFormat {
    uint32_t v4l2;
    uint32_t spa;
};

// YUYV first: more V4L2 readers take it than I420.
constexpr OutputFormat kFormats[] = {
    {V4L2_PIX_FMT_YUYV, SPA_VIDEO_FORMAT_YUY2},
    {V4L2_PIX_FMT_YUV420, SPA_VIDEO_FORMAT_I420},
};

v4l2_fract frameInterval(double framesPerSecond)
{
    // Millihertz keep 30000/1001 apart from 30.
    auto denominator = uint32_t(std::llround(framesPerSecond * 1000));
    uint32_t numerator = 1000;
    const uint32_t divisor = std::gcd(numerator, denominator);
    return {numerator / divisor, denominator / divisor};
}

bool isLoopbackOutput(int fd, IoctlFunction ioctl)
{
    v4l2_capability capability{};
    if (ioctl(fd, VIDIOC_QUERYCAP, &capability) != 0)
        return false;
    const uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps
                                                                            : capability.capabilities;
    return std::strncmp(reinterpret_cast<const char*>(capability.driver), "v4l2 loopback",
                        sizeof capability.driver) == 0 &&
           (caps & V4L2_CAP_VIDEO_OUTPUT);
}

// The driver may adjust what it is given; only a layout equal to ours is usable.
bool setFormat(int fd, IoctlFunction ioctl, uint32_t pixelFormat, int width, int height,
               const FrameConverter& converter)
{
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    v4l2_pix_format& pix = format.fmt.pix;
    pix.width = uint32_t(width);
    pix.height = uint32_t(height);
    pix.pixelformat = pixelFormat;
    pix.field = V4L2_FIELD_NONE;
    pix.bytesperline = uint32_t(converter.stride());
    pix.sizeimage = uint32_t(converter.frameBytes());
    pix.colorspace = V4L2_COLORSPACE_SMPTE170M;   // BT.601, as converted
    return ioctl(fd, VIDIOC_S_FMT, &format) == 0 && pix.pixelformat == pixelFormat &&
           pix.width == uint32_t(width) && pix.height == uint32_t(height) &&
           pix.bytesperline == uint32_t(converter.stride()) &&
           pix.sizeimage == converter.frameBytes();
}

} // namespace

bool writeWhole(int fd, const uint8_t* data, size_t size, WriteFunction write)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

std::unique_ptr<V4l2Output> V4l2Output::open(const std::string& path, int width, int height,
                                             double framesPerSecond, IoctlFunction ioctl)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<V4l2Output> output(new V4l2Output(fd, ioctl));
    if (!isLoopbackOutput(fd, ioctl))
        return nullptr;

    v4l2_streamparm parameters{};
    parameters.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    parameters.parm.output.timeperframe = frameInterval(framesPerSecond);
    // Readers see the rate it advertises; frames come at ours whatever it says.
    ioctl(fd, VIDIOC_S_PARM, &parameters);

    FrameConverter& converter = output->m_converter;
    if (std::none_of(std::begin(kFormats), std::end(kFormats), [&](const OutputFormat& format) {
            // Odd sizes go out at the next even size, edge repeated, as on PipeWire.
            const FrameConverter::Size size = FrameConverter::outputSize(format.spa, width, height);
            return converter.configure(format.spa, width, height) &&
                   setFormat(fd, ioctl, format.v4l2, size.width, size.height, converter);
        }))
        return nullptr;
    output->m_frame.resize(output->m_converter.frameBytes());
    output->m_usageEvents = subscribeClientUsage(fd, ioctl);
    return output;
}

V4l2Output::~V4l2Output()
{
    ::close(m_fd);
}

bool V4l2Output::write(const uint8_t* bgr)
{
    m_converter.convert(bgr, m_frame.data());
    return writeWhole(m_fd, m_frame.data(), m_frame.size(), ::write);
}

bool V4l2Output::readersStreaming()
{
    if (m_usageEvents && eventsPending(m_fd))
        m_streaming = readClientUsage(m_fd, m_streaming, m_ioctl);
    return m_streaming;
}
