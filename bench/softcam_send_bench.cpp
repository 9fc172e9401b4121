// CPU time per frame of publishing a camera through libsoftcam.so, beside
// GStreamer publishing the same frames (multifilesrc -> videoconvert ->
// pipewiresink) into the same PipeWire session, each read by one
// pipewiresrc consumer. Run inside a session: bench/softcam_compare.sh.
#include "frame_pump.h"
#include "gst_consumer.h"
#include "test_frames.h"

#include <softcam.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

constexpr double kSeconds = 3.0;

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// User plus system time of another process, from /proc.
double childCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

struct Measure {
    double cpuMsPerFrame = 0;
    double fps = 0;
};

// Frames the consumer receives over kSeconds, and `cpu` spent meanwhile.
template <typename CpuSeconds>
Measure measure(GstConsumer& consumer, CpuSeconds cpu)
{
    QByteArray frame;
    for (int i = 0; i < 10; ++i)   // settle
        if (!consumer.nextFrame(frame, std::chrono::seconds(5)))
            return {};
    const double cpuStart = cpu();
    QElapsedTimer timer;
    timer.start();
    int frames = 0;
    while (timer.elapsed() < kSeconds * 1000 && consumer.nextFrame(frame))
        ++frames;
    const double cpuUsed = cpu() - cpuStart;
    return {frames ? cpuUsed * 1000 / frames : 0, frames / (timer.elapsed() / 1000.0)};
}

Measure measureSoftcam(int width, int height, const QString& format)
{
    void* camera = scCreateCamera(width, height, 30);
    if (!camera)
        return {};
    Measure result;
    {
        FramePump pump(camera, quadrantFrame(width, height));
        GstConsumer consumer(QStringLiteral("orvenna-camera"),
                             QStringLiteral("video/x-raw,format=") + format,
                             packedFrameBytes(format, width, height));
        result = measure(consumer, processCpuSeconds);
    }
    scDeleteCamera(camera);
    return result;
}

Measure measureGStreamer(int width, int height, const QString& format, const QString& frameFile)
{
    QProcess producer;
    const QString caps = QStringLiteral("video/x-raw,format=BGR,width=%1,height=%2,framerate=30/1")
                             .arg(width).arg(height);
    producer.start(QStringLiteral("gst-launch-1.0"),
                   {QStringLiteral("-q"), QStringLiteral("multifilesrc"),
                    QStringLiteral("location=") + frameFile, QStringLiteral("loop=true"),
                    QStringLiteral("caps=") + caps, QStringLiteral("!"), QStringLiteral("videoconvert"),
                    QStringLiteral("!"), QStringLiteral("video/x-raw,format=") + format,
                    QStringLiteral("!"), QStringLiteral("pipewiresink"), QStringLiteral("mode=provide"),
                    QStringLiteral("stream-properties=p,node.name=orvenna-bench-gst")});
    if (!producer.waitForStarted())
        return {};
    GstConsumer consumer(QStringLiteral("orvenna-bench-gst"),
                         QStringLiteral("video/x-raw,format=") + format,
                         packedFrameBytes(format, width, height));
    const qint64 pid = producer.processId();
    const Measure result = measure(consumer, [pid] { return childCpuSeconds(pid); });
    consumer.stop();
    producer.terminate();
    producer.waitForFinished(5000);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("| size | format | libsoftcam ms CPU/frame | fps | GStreamer ms CPU/frame | fps |\n"
                "|---|---|---|---|---|---|\n");
    for (const auto& [width, height] : {std::pair{1280, 720}, std::pair{1920, 1080}}) {
        const auto frame = quadrantFrame(width, height);
        const QString frameFile = dir.filePath(QStringLiteral("frame.bgr"));
        QFile file(frameFile);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(frame.data()), qint64(frame.size())) != qint64(frame.size()))
            return 1;
        file.close();
        for (const QString& format : {QStringLiteral("BGR"), QStringLiteral("YUY2")}) {
            const Measure ours = measureSoftcam(width, height, format);
            const Measure theirs = measureGStreamer(width, height, format, frameFile);
            // A side whose consumer received nothing shows as n/a.
            const auto cell = [](const Measure& m) {
                return m.fps > 0 ? QStringLiteral("%1 | %2").arg(m.cpuMsPerFrame, 0, 'f', 2).arg(m.fps, 0, 'f', 1)
                                 : QStringLiteral("n/a | 0");
            };
            std::printf("| %dx%d | %s | %s | %s |\n", width, height, qPrintable(format),
                        qPrintable(cell(ours)), qPrintable(cell(theirs)));
            std::fflush(stdout);
        }
    }
    return 0;
}
