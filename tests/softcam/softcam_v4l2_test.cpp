// The V4L2 output's parts that run without a loopback module: finding the
// device in a temporary sysfs tree, the client-usage event through a stand-in
// ioctl, and the write loop against a pipe.
#include "frame_converter.h"
#include "loopback_devices.h"
#include "pipewire_camera.h"
#include "v4l2_client_usage.h"
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
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(LoopbackDevices, FindsTheLowestDeviceWithTheLabel)
{
    const std::string longLabel = "Orvenna Camera with a label of 44 characters";
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> devices;   // directory, name ("": not a loopback)
        std::string label;
        std::optional<int> found;
    } cases[] = {
        {"no devices", {}, "Orvenna Camera", std::nullopt},
        {"label with a space", {{"video3", "Dummy video device"}, {"video7", "Orvenna Camera"}}, "Orvenna Camera", 7},
        {"longer label is another", {{"video2", "Orvenna Camera 2"}}, "Orvenna Camera", std::nullopt},
        {"another driver's device", {{"video1", ""}}, "Orvenna Camera", std::nullopt},
        {"lowest of two", {{"video12", "Orvenna Camera"}, {"video4", "Orvenna Camera"}}, "Orvenna Camera", 4},
        {"not a video node", {{"videoX", "Orvenna Camera"}}, "Orvenna Camera", std::nullopt},
        {"kept to 31 characters", {{"video5", longLabel.substr(0, 31)}}, longLabel, 5},
        {"cut shorter than 31", {{"video5", longLabel.substr(0, 30)}}, longLabel, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        char pattern[] = "/tmp/orvenna-sysfs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        const fs::path root = pattern;
        for (const auto& [directory, name] : c.devices) {
            const fs::path device = root / "devices/virtual/video4linux" / directory;
            fs::create_directories(device);
            std::ofstream(device / "name") << (name.empty() ? "Integrated Camera" : name) << '\n';
            if (!name.empty())
                std::ofstream(device / "max_openers") << "10\n";
        }
        EXPECT_EQ(findLoopbackDevice(root.string(), c.label), c.found);
        fs::remove_all(root);
    }
}

// Events the stand-in ioctl hands out, oldest first, and what it was asked.
struct FakeDevice {
    int subscribeResult = 0;   // errno to fail with, 0 to succeed
    v4l2_event_subscription subscription{};
    std::vector<v4l2_event> events;
};
FakeDevice g_device;

int fakeIoctl(int, unsigned long request, void* argument)
{
    if (request == VIDIOC_QUERYCAP) {
        auto* capability = static_cast<v4l2_capability*>(argument);
        std::strcpy(reinterpret_cast<char*>(capability->driver), "v4l2 loopback");
        capability->capabilities = V4L2_CAP_VIDEO_OUTPUT;
        return 0;
    }
    if (request == VIDIOC_S_PARM)
        return 0;
    if (request == VIDIOC_S_FMT) {
        // The layout the kernel gives (v4l2_fill_pixfmt): YUYV rows of
        // 2 bytes a pixel, I420 chroma planes rounded up.
        v4l2_pix_format& pix = static_cast<v4l2_format*>(argument)->fmt.pix;
        const bool yuyv = pix.pixelformat == V4L2_PIX_FMT_YUYV;
        pix.bytesperline = yuyv ? pix.width * 2 : pix.width;
        pix.sizeimage = yuyv ? pix.width * 2 * pix.height
                             : pix.width * pix.height + 2 * ((pix.width + 1) / 2) * ((pix.height + 1) / 2);
        return 0;
    }
    if (request == VIDIOC_SUBSCRIBE_EVENT) {
        g_device.subscription = *static_cast<v4l2_event_subscription*>(argument);
        errno = g_device.subscribeResult;
        return errno ? -1 : 0;
    }
    if (request != VIDIOC_DQEVENT || g_device.events.empty()) {
        errno = ENOENT;
        return -1;
    }
    auto* event = static_cast<v4l2_event*>(argument);
    *event = g_device.events.front();
    g_device.events.erase(g_device.events.begin());
    event->pending = uint32_t(g_device.events.size());
    return 0;
}

v4l2_event event(uint32_t type, uint32_t count)
{
    v4l2_event e{};
    e.type = type;
    std::memcpy(e.u.data, &count, sizeof count);
    return e;
}

TEST(V4l2ClientUsage, SubscribesForTheInitialStateAndOlderModulesTellNothing)
{
    // v4l2loopback's private event: V4L2_EVENT_PRIVATE_START + 0x08E00000 + 1.
    EXPECT_EQ(kClientUsageEvent, 0x10E00001u);
    for (const int error : {0, EINVAL}) {
        g_device = {error, {}, {}};
        EXPECT_EQ(subscribeClientUsage(-1, fakeIoctl), error == 0);
        EXPECT_EQ(g_device.subscription.type, kClientUsageEvent);
        EXPECT_EQ(g_device.subscription.flags, uint32_t(V4L2_EVENT_SUB_FL_SEND_INITIAL));
    }
}

TEST(V4l2ClientUsage, TheNewestUsageEventDecides)
{
    const uint32_t kOther = V4L2_EVENT_PRIVATE_START + 7;
    const struct {
        const char* what;
        bool before;
        std::vector<v4l2_event> events;
        bool after;
    } cases[] = {
        {"a reader starts", false, {event(kClientUsageEvent, 1)}, true},
        {"the last reader stops", true, {event(kClientUsageEvent, 0)}, false},
        {"started then stopped", false, {event(kClientUsageEvent, 1), event(kClientUsageEvent, 0)}, false},
        {"another event after ours", false, {event(kClientUsageEvent, 2), event(kOther, 0)}, true},
        {"nothing to dequeue", true, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g_device = {0, {}, c.events};
        EXPECT_EQ(readClientUsage(-1, c.before, fakeIoctl), c.after);
        EXPECT_TRUE(g_device.events.empty()) << "events left queued";
    }
}

// Passes at most kChunk bytes to the real write, and fails every third call
// with EINTR before writing anything.
constexpr size_t kChunk = 1000;
int g_calls = 0;

ssize_t choppyWrite(int fd, const void* data, size_t size)
{
    if (++g_calls % 3 == 1) {
        errno = EINTR;
        return -1;
    }
    return ::write(fd, data, std::min(size, kChunk));
}

ssize_t failingWrite(int, const void*, size_t)
{
    errno = ENODEV;
    return -1;
}

TEST(V4l2Output, WritesTheWholeFrameThroughSignalsAndShortWrites)
{
    std::vector<uint8_t> frame(64 * 1024 + 123);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7 + i / 251);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // The pipe holds less than a frame: the reader must drain it meanwhile.
    std::vector<uint8_t> received;
    std::thread reader([&] {
        uint8_t buffer[4096];
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
            received.insert(received.end(), buffer, buffer + n);
    });
    g_calls = 0;
    const bool written = writeWhole(fds[1], frame.data(), frame.size(), choppyWrite);
    close(fds[1]);
    reader.join();
    close(fds[0]);
    EXPECT_TRUE(written);
    EXPECT_GT(g_calls, int(frame.size() / kChunk)) << "the frame went in one piece";
    EXPECT_TRUE(received == frame) << "received " << received.size() << " of " << frame.size() << " bytes, or other bytes";
    EXPECT_FALSE(writeWhole(-1, frame.data(), frame.size(), failingWrite));
}

// The device appears after the camera starts; one frame is sent, and the
// device gets it again and again (a paused window sends nothing), in YUYV, or
// I420 where the driver's YUYV rows differ from ours. A FIFO stands in for
// the device node, the stand-in ioctl for the driver.
TEST(V4l2Camera, FindsTheDeviceLaterAndRepeatsTheLastFrame)
{
    const uint8_t red[3] = {0, 0, 255};
    for (const auto& [width, format] : {std::pair{4, SPA_VIDEO_FORMAT_YUY2}, {5, SPA_VIDEO_FORMAT_I420}}) {
        SCOPED_TRACE(width);
        constexpr int kHeight = 2;
        g_device = {EINVAL, {}, {}};   // a module without the usage event
        char pattern[] = "/tmp/orvenna-v4l2-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        const fs::path root = pattern;
        fs::create_directories(root / "dev");
        bool changed = false;
        auto camera = std::make_unique<V4l2Camera>(width, kHeight, 100, [&] { changed = true; },
                                                   (root / "sys").string(), (root / "dev").string(), fakeIoctl);
        std::vector<uint8_t> bgr;
        for (int i = 0; i < width * kHeight; ++i)
            bgr.insert(bgr.end(), red, red + 3);
        camera->publish(bgr.data());

        ASSERT_EQ(mkfifo((root / "dev/video9").c_str(), 0600), 0);
        const int fifo = open((root / "dev/video9").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(fifo, 0);
        const fs::path device = root / "sys/devices/virtual/video4linux/video9";
        fs::create_directories(device);
        std::ofstream(device / "max_openers") << "10\n";
        std::ofstream(device / "name") << V4l2Camera::kLabel << '\n';

        FrameConverter converter;
        ASSERT_TRUE(converter.configure(format, width, kHeight));
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
        EXPECT_FALSE(changed) << "connected without a way to know";
        fs::remove_all(root);
    }
}

// The node PipeWire's V4L2 monitor makes for our device is another listing;
// our own node, and nodes under other names, are not.
TEST(PipeWireCamera, StepsAsideOnlyForAnotherNodeUnderItsName)
{
    const struct {
        const char *mediaClass, *nodeName, *description;
        bool other;
    } cases[] = {
        {"Video/Source", "v4l2_input.platform-v4l2loopback-000", "Orvenna Camera", true},
        {"Video/Source", PipeWireCamera::kNodeName, "Orvenna Camera", false},
        {"Video/Source", "v4l2_input.pci-0000_00_14.0-usb", "Integrated Camera", false},
        {"Video/Sink", "v4l2_output.platform-v4l2loopback-000", "Orvenna Camera", false},
        {nullptr, nullptr, nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PipeWireCamera::isOtherListing(c.mediaClass, c.nodeName, c.description), c.other)
            << "case " << (&c - cases);
}

} // namespace
