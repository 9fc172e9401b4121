// Opt-in: a real v4l2loopback device labelled "Orvenna Camera" (as Register
// makes it), read back by v4l2-ctl. Skipped where there is none.
#include "frame_converter.h"
#include "loopback_devices.h"

#include <softcam.h>
#include <spa/param/video/raw.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// One frame, then none, as a paused window leaves it: readers still get it.
TEST(SoftcamV4l2Device, ReaderGetsTheLastFrameAlsoWhileNoneIsSent)
{
    const auto number = findLoopbackDevice("/sys", "Orvenna Camera");
    if (!number || QStandardPaths::findExecutable(QStringLiteral("v4l2-ctl")).isEmpty())
        GTEST_SKIP() << "needs a v4l2loopback device labelled \"Orvenna Camera\" (Register) and v4l2-ctl";
    constexpr int kWidth = 64, kHeight = 48, kFrames = 5;
    void* camera = scCreateCamera(kWidth, kHeight, 30);
    ASSERT_NE(camera, nullptr);
    std::vector<uint8_t> frame;
    for (int i = 0; i < kWidth * kHeight; ++i)
        frame.insert(frame.end(), {20, 50, 220});   // red-ish: a swap would show
    scSendFrame(camera, frame.data());

    // With exclusive_caps, readers find a capture device only once our writer set the format.
    QFile format(QStringLiteral("/sys/devices/virtual/video4linux/video%1/format").arg(*number));
    const auto formatSet = [&] {
        format.close();
        return format.open(QIODevice::ReadOnly) && !format.readAll().trimmed().isEmpty();
    };
    ASSERT_TRUE(QTest::qWaitFor(formatSet, 10000)) << "the camera never set the device's format";
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("frames"));
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedChannels);
    reader.start(QStringLiteral("v4l2-ctl"), {QStringLiteral("--device=/dev/video%1").arg(*number), QStringLiteral("--stream-mmap=3"),
                                              QStringLiteral("--stream-count=%1").arg(kFrames), QStringLiteral("--stream-to=") + out});
    ASSERT_TRUE(reader.waitForFinished(20000) && reader.exitCode() == 0) << "v4l2-ctl got no frames";
    scDeleteCamera(camera);

    FrameConverter converter;
    ASSERT_TRUE(converter.configure(SPA_VIDEO_FORMAT_YUY2, kWidth, kHeight));
    QByteArray expected(qsizetype(converter.frameBytes()), '\0');
    converter.convert(frame.data(), reinterpret_cast<uint8_t*>(expected.data()));
    QFile frames(out);
    ASSERT_TRUE(frames.open(QIODevice::ReadOnly));
    EXPECT_TRUE(frames.readAll() == expected.repeated(kFrames));
}

} // namespace
