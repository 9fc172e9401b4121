// Opt-in: against a real v4l2loopback device labelled "Orvenna Camera" (as
// Register makes it), read by v4l2-ctl. Skipped where there is none.
#include "frame_converter.h"
#include "loopback_devices.h"

#include <softcam.h>
#include <spa/param/video/raw.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <vector>

namespace {

// One frame, then none: the camera stays as a paused window leaves it, and
// exclusive_caps readers must still get frames, all of that one.
TEST(SoftcamV4l2Device, ReaderGetsTheLastFrameAlsoWhileNoneIsSent)
{
    const auto number = findLoopbackDevice("/sys", "Orvenna Camera");
    if (!number)
        GTEST_SKIP() << "no v4l2loopback device labelled \"Orvenna Camera\" (Register makes one)";
    if (QStandardPaths::findExecutable(QStringLiteral("v4l2-ctl")).isEmpty())
        GTEST_SKIP() << "v4l2-ctl is not installed (v4l-utils)";

    constexpr int kWidth = 64, kHeight = 48, kFrames = 5;
    void* camera = scCreateCamera(kWidth, kHeight, 30);
    ASSERT_NE(camera, nullptr);
    std::vector<uint8_t> frame;
    for (int i = 0; i < kWidth * kHeight; ++i)
        frame.insert(frame.end(), {20, 50, 220});   // red-ish: a swap would show
    scSendFrame(camera, frame.data());

    // The writer sets its format on its own thread; until then readers see no capture device.
    const QString device = QStringLiteral("/dev/video%1").arg(*number);
    QFile format(QStringLiteral("/sys/devices/virtual/video4linux/video%1/format").arg(*number));
    for (const QDeadlineTimer deadline(10000); format.open(QIODevice::ReadOnly) && format.readAll().trimmed().isEmpty();
         QThread::msleep(50)) {
        format.close();
        ASSERT_FALSE(deadline.hasExpired()) << "the camera never set the device's format";
    }

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("frames"));
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedChannels);
    reader.start(QStringLiteral("v4l2-ctl"), {QStringLiteral("-d"), device, QStringLiteral("--stream-mmap=3"),
                                              QStringLiteral("--stream-count=%1").arg(kFrames),
                                              QStringLiteral("--stream-to=%1").arg(out)});
    ASSERT_TRUE(reader.waitForFinished(20000)) << "v4l2-ctl got no frames";
    EXPECT_EQ(reader.exitCode(), 0);
    scDeleteCamera(camera);

    FrameConverter converter;
    ASSERT_TRUE(converter.configure(SPA_VIDEO_FORMAT_YUY2, kWidth, kHeight));
    std::vector<uint8_t> expected(converter.frameBytes());
    converter.convert(frame.data(), expected.data());
    QFile frames(out);
    ASSERT_TRUE(frames.open(QIODevice::ReadOnly));
    const QByteArray data = frames.readAll();
    ASSERT_EQ(size_t(data.size()), kFrames * expected.size());
    for (int i = 0; i < kFrames; ++i)
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(),
                               reinterpret_cast<const uint8_t*>(data.constData()) + i * expected.size()))
            << "frame " << i;
}

} // namespace
