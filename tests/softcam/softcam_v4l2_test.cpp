// The V4L2 output without a loopback module: a temporary sysfs tree, a FIFO for the node, a stand-in ioctl.
#include "frame_converter.h"
#include "loopback_devices.h"
#include "softcam.h"
#include "v4l2_camera.h"
#include "v4l2_output.h"

#include <spa/param/video/raw.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct TemporaryRoot {
    TemporaryRoot() { fs::create_directories(path / "dev"); }
    ~TemporaryRoot() { fs::remove_all(path); }
    // Loopback devices carry "max_openers"; an empty label makes another driver's device.
    void addDevice(const std::string& directory, const std::string& label) const
    {
        const fs::path device = path / "sys/devices/virtual/video4linux" / directory;
        fs::create_directories(device);
        if (!label.empty())
            std::ofstream(device / "max_openers") << "10\n";
        std::ofstream(device / "name") << (label.empty() ? "Integrated Camera" : label) << '\n';
    }
    std::string sys() const { return (path / "sys").string(); }
    char pattern[32] = "/tmp/orvenna-v4l2-XXXXXX";   // first: mkdtemp fills it in for `path`
    const fs::path path = mkdtemp(pattern);
};

TEST(LoopbackDevices, FindsTheLowestDeviceWithTheLabel)
{
    const std::string ours = "Orvenna Camera", longLabel = ours + " with a label of 44 characters";
    const struct {
        std::vector<std::pair<std::string, std::string>> devices;   // directory, label
        std::string label;
        std::optional<int> found;
    } cases[] = {
        {{}, ours, std::nullopt}, {{{"video3", "Dummy video device"}, {"video7", ours}}, ours, 7},
        {{{"video2", ours + " 2"}, {"video1", ""}, {"videoX", ours}}, ours, std::nullopt},
        {{{"video12", ours}, {"video4", ours}}, ours, 4},
        {{{"video5", longLabel.substr(0, 31)}}, longLabel, 5},   // the module keeps 31 bytes
        {{{"video5", longLabel.substr(0, 30)}}, longLabel, std::nullopt}};
    for (const auto& c : cases) {
        TemporaryRoot root;
        for (const auto& [directory, label] : c.devices)
            root.addDevice(directory, label);
        EXPECT_EQ(findLoopbackDevice(root.sys(), c.label), c.found) << "case " << (&c - cases);
    }
}

// The driver as the stand-in ioctl plays it; events are handed out oldest first.
struct FakeDriver {
    int subscribeError = 0;
    v4l2_event_subscription subscription{};
    std::vector<v4l2_event> events;
};
FakeDriver g_driver;

int fakeIoctl(int, unsigned long request, void* argument)
{
    switch (request) {
    case VIDIOC_QUERYCAP:
        std::strcpy(reinterpret_cast<char*>(static_cast<v4l2_capability*>(argument)->driver), "v4l2 loopback");
        static_cast<v4l2_capability*>(argument)->capabilities = V4L2_CAP_VIDEO_OUTPUT;
        return 0;
    case VIDIOC_S_FMT: {   // the kernel's YUYV layout (v4l2_fill_pixfmt), the format tried first
        v4l2_pix_format& pix = static_cast<v4l2_format*>(argument)->fmt.pix;
        pix.sizeimage = (pix.bytesperline = pix.width * 2) * pix.height;
        return 0;
    }
    case VIDIOC_SUBSCRIBE_EVENT:
        g_driver.subscription = *static_cast<v4l2_event_subscription*>(argument);
        errno = g_driver.subscribeError;
        return errno ? -1 : 0;
    case VIDIOC_DQEVENT:
        if (g_driver.events.empty())
            break;
        *static_cast<v4l2_event*>(argument) = g_driver.events.front();
        g_driver.events.erase(g_driver.events.begin());
        static_cast<v4l2_event*>(argument)->pending = uint32_t(g_driver.events.size());
        return 0;
    }
    errno = ENOENT;
    return -1;
}

v4l2_event usage(uint32_t count, uint32_t type = kClientUsageEvent)
{
    v4l2_event event{};
    event.type = type;
    std::memcpy(event.u.data, &count, sizeof count);
    return event;
}

TEST(V4l2ClientUsage, TheNewestUsageEventDecides)
{
    const struct { bool before; std::vector<v4l2_event> events; bool after; } cases[] = {
        {false, {usage(1)}, true}, {true, {usage(0)}, false}, {false, {usage(1), usage(0)}, false},
        {false, {usage(2), usage(0, V4L2_EVENT_PRIVATE_START + 7)}, true},   // another event last
        {true, {}, true}};
    for (const auto& c : cases) {
        g_driver = {0, {}, c.events};
        EXPECT_EQ(readClientUsage(-1, c.before, fakeIoctl), c.after) << "case " << (&c - cases);
        EXPECT_TRUE(g_driver.events.empty()) << "events left queued";
    }
}

// Every third call fails with EINTR, the others write at most 1000 bytes.
int g_calls = 0;
ssize_t choppyWrite(int fd, const void* data, size_t size)
{
    errno = EINTR;
    return ++g_calls % 3 == 1 ? -1 : ::write(fd, data, std::min<size_t>(size, 1000));
}

TEST(V4l2Output, WritesTheWholeFrameThroughSignalsAndShortWrites)
{
    std::vector<uint8_t> frame(20 * 1024 + 123), received(frame.size() + 1);   // within the pipe's buffer
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7 + i / 251);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_TRUE(writeWhole(fds[1], frame.data(), frame.size(), choppyWrite));
    close(fds[1]);
    received.resize(size_t(std::max<ssize_t>(0, read(fds[0], received.data(), received.size()))));
    close(fds[0]);
    EXPECT_TRUE(received == frame) << "received " << received.size() << " of " << frame.size() << " bytes, or others";
    EXPECT_FALSE(writeWhole(fds[1], frame.data(), frame.size(), ::write));   // closed: fails, no spin
}

// The device appears after the camera starts, on a module without the usage event; one
// frame sent reaches it again and again (as while paused), in YUYV, an odd width at the next even one.
TEST(V4l2Camera, FindsTheDeviceLaterAndRepeatsTheLastFrame)
{
    for (const int width : {4, 5}) {
        SCOPED_TRACE(width);
        g_driver = {EINVAL, {}, {}};
        TemporaryRoot root;
        bool changed = false;
        auto camera = std::make_unique<V4l2Camera>(width, 2, 100, [&] { changed = true; }, root.sys(),
                                                   (root.path / "dev").string(), fakeIoctl);
        std::vector<uint8_t> bgr(size_t(width) * 2 * 3);
        for (size_t i = 2; i < bgr.size(); i += 3)
            bgr[i] = 255;   // red: a swap would show
        camera->publish(bgr.data());
        const std::string node = (root.path / "dev/video9").string();
        ASSERT_EQ(mkfifo(node.c_str(), 0600), 0);
        const int fifo = open(node.c_str(), O_RDONLY | O_NONBLOCK);
        root.addDevice("video9", SOFTCAM_CAMERA_NAME);

        FrameConverter converter;
        ASSERT_TRUE(converter.configure(SPA_VIDEO_FORMAT_YUY2, width, 2));
        std::vector<uint8_t> expected(converter.frameBytes()), frame(expected.size());
        converter.convert(bgr.data(), expected.data());
        for (int i = 0; i < 3; ++i) {
            pollfd readable{fifo, POLLIN, 0};
            ASSERT_EQ(poll(&readable, 1, 10000), 1) << "frame " << i << " never came";
            ASSERT_EQ(read(fifo, frame.data(), frame.size()), ssize_t(frame.size()));
            EXPECT_EQ(frame, expected) << "frame " << i;
        }
        camera.reset();
        close(fifo);
        EXPECT_EQ(g_driver.subscription.type, 0x08000000u + 0x08E00000u + 1);   // v4l2loopback's usage event
        EXPECT_EQ(g_driver.subscription.flags, uint32_t(V4L2_EVENT_SUB_FL_SEND_INITIAL));
        EXPECT_FALSE(changed) << "connected without a way to know";
    }
}

} // namespace
