// CPU time per delivered frame of publishing a camera through libsoftcam.so,
// beside GStreamer publishing the same frames (multifilesrc -> rawvideoparse
// -> videoconvert -> pipewiresink) into the same PipeWire session. Both are
// read by the same consumer, pw_frame_counter, in a process of its own.
// Run inside a session: bench/softcam_compare.sh.
#include "frame_pump.h"
#include "test_frames.h"

#include <softcam.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

constexpr double kSeconds = 5.0;
constexpr int kRate = 30;

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// User plus system time of another process and all its threads, from /proc.
double childCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

// pw_frame_counter reading one node: a line per buffer it received.
class FrameCounter {
public:
    FrameCounter(const QString& node, const QString& format, int width, int height)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(ORVENNA_FRAME_COUNTER),
                        {node, format, QString::number(width), QString::number(height)});
    }
    ~FrameCounter()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    struct Buffer {
        qsizetype bytes = 0;
        int firstByte = -1;
    };

    // The next buffer; false when none arrives before `deadline`.
    bool next(Buffer& buffer, const QDeadlineTimer& deadline)
    {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        const QList<QByteArray> fields = m_process.readLine().trimmed().split(' ');
        buffer = {fields.value(0).toLongLong(), fields.value(1).toInt()};
        return true;
    }

private:
    QProcess m_process;
};

struct Measure {
    double cpuMsPerFrame = 0;
    double fps = 0;
    int wrongFrames = 0;
};

// Frames of the right size and first byte the counter receives over kSeconds,
// and `cpu` spent meanwhile. Start-up and linking are left out.
template <typename CpuSeconds>
Measure measure(FrameCounter& counter, qsizetype frameBytes, int firstByte, CpuSeconds cpu)
{
    FrameCounter::Buffer buffer;
    for (int i = 0; i < 10; ++i)
        if (!counter.next(buffer, QDeadlineTimer(std::chrono::seconds(10))))
            return {};
    const double cpuStart = cpu();
    QElapsedTimer timer;
    timer.start();
    const QDeadlineTimer end(std::chrono::milliseconds(qint64(kSeconds * 1000)));
    Measure m;
    int frames = 0;
    while (counter.next(buffer, end)) {
        // Both producers' YUY2 starts with the luma of the same pixel, though
        // GStreamer picks BT.709 for HD sizes: allow for that.
        if (buffer.bytes == frameBytes && std::abs(buffer.firstByte - firstByte) <= 8)
            ++frames;
        else
            ++m.wrongFrames;
    }
    const double cpuUsed = cpu() - cpuStart;
    m.cpuMsPerFrame = frames ? cpuUsed * 1000 / frames : 0;
    m.fps = frames / (timer.elapsed() / 1000.0);
    return m;
}

Measure measureSoftcam(int width, int height, const QString& format, int firstByte)
{
    void* camera = scCreateCamera(width, height, kRate);
    if (!camera)
        return {};
    Measure result;
    {
        FramePump pump(camera, quadrantFrame(width, height));
        FrameCounter counter(QStringLiteral("orvenna-camera"), format, width, height);
        result = measure(counter, packedFrameBytes(format, width, height), firstByte, processCpuSeconds);
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
