// CPU time per delivered frame of publishing a camera through libsoftcam.so,
// beside GStreamer publishing the same frames (multifilesrc -> rawvideoparse
// -> videoconvert -> pipewiresink) into the same PipeWire session. Both are
// read by the same consumer, pw_frame_counter, in a process of its own.
// Run inside a session: bench/softcam_compare.sh.
#include "frame_counter.h"
#include "frame_pump.h"
#include "test_frames.h"

#include <softcam.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using namespace bench;

constexpr int kRate = 30;

Measure measureSoftcam(int width, int height, const QString& format, int firstByte)
{
    void* camera = scCreateCamera(width, height, kRate);
    if (!camera)
        return {};
    Measure result;
    {
        FramePump pump(camera, quadrantFrame(width, height));
        FrameCounter counter(QStringLiteral("orvenna-camera"), format, width, height);
        result = measure(counter, packedFrameBytes(format, width, height), firstByte, producerCpuSeconds);
    }
    scDeleteCamera(camera);
    return result;
}

Measure measureGStreamer(int width, int height, const QString& format, int firstByte,
                         const QString& frameFile)
{
    // rawvideoparse stamps the frames at the rate, so that pipewiresink paces
    // them; multifilesrc alone sends as fast as it reads.
    QStringList pipeline{
        QStringLiteral("-q"), QStringLiteral("multifilesrc"), QStringLiteral("location=") + frameFile,
        QStringLiteral("loop=true"), QStringLiteral("!"), QStringLiteral("rawvideoparse"),
        QStringLiteral("format=bgr"), QStringLiteral("width=%1").arg(width),
        QStringLiteral("height=%1").arg(height), QStringLiteral("framerate=%1/1").arg(kRate),
        QStringLiteral("!")};
    if (format != QStringLiteral("BGR"))
        pipeline << QStringLiteral("videoconvert") << QStringLiteral("!")
                 << QStringLiteral("video/x-raw,format=") + format << QStringLiteral("!");
    pipeline << QStringLiteral("pipewiresink") << QStringLiteral("mode=provide")
             << QStringLiteral("stream-properties=p,node.name=orvenna-bench-gst");
    QProcess producer;
    producer.setProcessChannelMode(QProcess::ForwardedChannels);
    producer.start(QStringLiteral("gst-launch-1.0"), pipeline);
    if (!producer.waitForStarted())
        return {};
    Measure result;
    {
        FrameCounter counter(QStringLiteral("orvenna-bench-gst"), format, width, height);
        const qint64 pid = producer.processId();
        result = measure(counter, packedFrameBytes(format, width, height), firstByte,
                         [pid] { return childCpuSeconds(pid); });
    }
    producer.terminate();
    if (!producer.waitForFinished(5000)) {
        producer.kill();
        producer.waitForFinished(5000);
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("%d frames/s, %.0f s each; CPU of the producing process per frame the consumer "
                "received.\n\n"
                "| size | format | libsoftcam ms CPU/frame | fps | GStreamer ms CPU/frame | fps |\n"
                "|---|---|---|---|---|---|\n",
                kRate, kSeconds);
    int wrong = 0;
    for (const auto& [width, height] : {std::pair{1280, 720}, std::pair{1920, 1080}}) {
        const auto frame = quadrantFrame(width, height);
        const QString frameFile = dir.filePath(QStringLiteral("frame.bgr"));
        QFile file(frameFile);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(frame.data()), qint64(frame.size())) != qint64(frame.size()))
            return 1;
        file.close();
        const int b = frame[0], g = frame[1], r = frame[2];
        const int luma = ((66 * r + 129 * g + 25 * b + 128) >> 8) + 16;
        for (const QString& format : {QStringLiteral("BGR"), QStringLiteral("YUY2")}) {
            const int firstByte = format == QStringLiteral("BGR") ? b : luma;
            const Measure ours = measureSoftcam(width, height, format, firstByte);
            const Measure theirs = measureGStreamer(width, height, format, firstByte, frameFile);
            // A side whose consumer received nothing shows as n/a.
            const auto cell = [](const Measure& m) {
                return m.fps > 0 ? QStringLiteral("%1 | %2").arg(m.cpuMsPerFrame, 0, 'f', 2).arg(m.fps, 0, 'f', 1)
                                 : QStringLiteral("n/a | 0");
            };
            std::printf("| %dx%d | %s | %s | %s |\n", width, height, qPrintable(format),
                        qPrintable(cell(ours)), qPrintable(cell(theirs)));
            std::fflush(stdout);
            wrong += ours.wrongFrames + theirs.wrongFrames;
        }
    }
    if (wrong)
        std::printf("\n%d buffers had the wrong size or content and were not counted.\n", wrong);
    return 0;
}
