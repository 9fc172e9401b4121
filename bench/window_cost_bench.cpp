// CPU time per camera frame of three producers streaming the same clip into
// the same camera size, measured side by side in one run:
// - GStreamer: filesrc -> decodebin -> videoconvert -> videoscale (nearest,
//   borders) -> BGR at the camera size -> pipewiresink;
// - FrameSender alone (VideoDecoder, FrameSender, libsoftcam) in this process;
// - the whole program (build/default/bin/orvenna), its window shown and the
//   preview painting.
// All three are read by pw_frame_counter in a process of its own, in BGR, so
// the consumer costs none of them anything. Run with a display and a PipeWire
// session: bench/window_cost.sh.
//
// Usage: window_cost_bench [DISPLAY_SERVER_PID]   (its CPU is shown too)
#include "frame_counter.h"

#include "camera/frame_sender.h"
#include "media/video_decoder.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace bench;

const QString kNode = QStringLiteral("orvenna-camera");
const QString kGstNode = QStringLiteral("orvenna-bench-gst");

struct Case {
    QString clip;
    int width;  // camera size
    int height;
    qsizetype frameBytes() const { return qsizetype(width) * height * 3; }
};

Measure measureSender(const Case& c)
{
    VideoDecoder decoder;
    const std::wstring path = c.clip.toStdWString();
    if (!decoder.Open(path.c_str()))
        return {};
    FrameSender sender;  // declared after the decoder: it stops first
    if (!sender.LoadDll() || !sender.InitCamera(c.width, c.height, float(decoder.m_fps)))
        return {};
    sender.StartVideo(&decoder, true);
    FrameCounter counter(kNode, QStringLiteral("BGR"), c.width, c.height);
    return measure(counter, c.frameBytes(), -1, producerCpuSeconds);
}

double residentMegabytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

// Measures `producer` as the counter reads `node`, once `ready` (given its pid)
// says it streams; `cpu` (given its pid) is asked at the start and the end of
// the measurement. Its resident memory is taken at the end.
template <typename Ready, typename Cpu>
Measure measureProcess(QProcess& producer, const QString& node, const Case& c, double& resident,
                       Ready ready, Cpu cpu)
{
    Measure result;
    if (producer.waitForStarted()) {
        const qint64 pid = producer.processId();
        if (ready(pid)) {
            FrameCounter counter(node, QStringLiteral("BGR"), c.width, c.height);
            result = measure(counter, c.frameBytes(), -1, [&] { return cpu(pid); });
            resident = residentMegabytes(pid);
        }
    }
    producer.terminate();
    if (!producer.waitForFinished(10000)) {
        producer.kill();
        producer.waitForFinished(5000);
    }
    return result;
}

Measure measureGStreamer(const Case& c, double& resident)
{
    // The clip's time stamps make pipewiresink pace the frames.
    const QString caps = QStringLiteral("video/x-raw,format=BGR,width=%1,height=%2").arg(c.width).arg(c.height);
    QProcess producer;
    producer.setProcessChannelMode(QProcess::ForwardedChannels);
    producer.start(QStringLiteral("gst-launch-1.0"),
                   {QStringLiteral("-q"), QStringLiteral("filesrc"), QStringLiteral("location=") + c.clip,
                    QStringLiteral("!"), QStringLiteral("decodebin"), QStringLiteral("!"),
                    QStringLiteral("videoconvert"), QStringLiteral("!"), QStringLiteral("videoscale"),
                    QStringLiteral("method=nearest-neighbour"), QStringLiteral("add-borders=true"),
                    QStringLiteral("!"), caps, QStringLiteral("!"), QStringLiteral("pipewiresink"),
                    QStringLiteral("mode=provide"),
                    QStringLiteral("stream-properties=p,node.name=") + kGstNode});
    return measureProcess(producer, kGstNode, c, resident, [](qint64) { return true; }, childCpuSeconds);
}

// CPU seconds of the window's own threads: the GUI thread (its id is the
// process's) and the threads Qt starts for it (its thread pool, the X and
// D-Bus connections), by thread id.
std::map<QString, double> windowThreads(qint64 pid)
{
    std::map<QString, double> threads;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + u'/' + tid + QStringLiteral("/comm"));
        const QByteArray name = comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
        if (tid == QString::number(pid) || name.startsWith("Thread (pooled)") || name.startsWith("QXcb") ||
            name.startsWith("QDBus"))
            threads[tid] = threadCpuSeconds(tasks + u'/' + tid);
    }
    return threads;
}

// CPU seconds spent meanwhile by others than the measured process: the
// window's threads (part of it) and the display server (apart from it).
struct Beside {
    double windowThreads = 0;
    double displayServer = 0;
};

// The program on the clip, Play pressed with its Space shortcut. It runs from
// a copy in `dir` whose settings file asks for the camera size and says
// today's update check was made (it would load TLS and its certificates
// while measured), so no settings of the build are read or written.
Measure measureProgram(const Case& c, const QDir& dir, qint64 displayServer, Beside& beside,
                       double& resident)
{
    QFile settings(dir.filePath(QStringLiteral("orvenna.ini")));
    if (!settings.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        settings.write(QStringLiteral("[General]\nresolution=%1x%2\n[analytics]\nlastPing=%3\n")
                           .arg(c.width)
                           .arg(c.height)
                           .arg(QDate::currentDate().toString(Qt::ISODate))
                           .toUtf8()) < 0)
        return {};
    settings.close();
    QProcess program;
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(dir.filePath(QStringLiteral("orvenna")), {c.clip});
    const auto pressPlay = [](qint64 pid) {
        QProcess press;
        press.setProcessChannelMode(QProcess::ForwardedChannels);
        press.start(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"),
                     QStringLiteral("^Orvenna"), QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                     QStringLiteral("key"), QStringLiteral("space")});
        return press.waitForFinished(20000) && press.exitCode() == 0;
    };
    std::map<QString, double> threadsAtStart;
    double displayAtStart = -1;
    return measureProcess(program, kNode, c, resident, pressPlay, [&](qint64 pid) {
        const std::map<QString, double> threads = windowThreads(pid);
        const double display = displayServer ? childCpuSeconds(displayServer) : 0;
        if (displayAtStart < 0) {
            threadsAtStart = threads;
            displayAtStart = display;
        } else {
            beside = {0, display - displayAtStart};
            for (const auto& [tid, cpu] : threads)
                beside.windowThreads += cpu - (threadsAtStart.count(tid) ? threadsAtStart[tid] : 0);
        }
        return childCpuSeconds(pid);
    });
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The program and its camera library copied into `dir`, where it finds the
// library beside itself and keeps its settings.
bool copyProgram(const QDir& dir)
{
    const QString program = QStringLiteral(ORVENNA_PROGRAM);
    const QString library = QFileInfo(program).dir().filePath(QStringLiteral("libsoftcam.so"));
    return QFile::copy(program, dir.filePath(QStringLiteral("orvenna"))) &&
           QFile::copy(library, dir.filePath(QStringLiteral("libsoftcam.so")));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qint64 displayServer = argc > 1 ? QByteArray(argv[1]).toLongLong() : 0;
    QTemporaryDir programDir;
    if (!programDir.isValid() || !copyProgram(QDir(programDir.path()))) {
        std::fprintf(stderr, "window_cost_bench: cannot copy the program\n");
        return 1;
    }
    const Case cases[] = {{QStringLiteral(ORVENNA_BENCH_CLIP_1080P), 1280, 720},
                          {QStringLiteral(ORVENNA_BENCH_CLIP_2160P), 1920, 1080}};
    // Rounds taking turns, medians quoted: the machine may be shared.
    constexpr int kRounds = 3;
    std::printf("CPU per frame the consumer received, over %.0f s of steady streaming; medians of "
                "%d rounds taking turns.\n\n"
                "| clip -> camera | producer | ms CPU/frame | x GStreamer | fps | resident MB |\n"
                "|---|---|---|---|---|---|\n",
                kSeconds, kRounds);
    for (const Case& c : cases) {
        std::vector<double> gst, alone, whole, gui, display, gstFps, aloneFps, wholeFps, gstRss, wholeRss;
        for (int round = 0; round < kRounds; ++round) {
            double gstResident = 0, wholeResident = 0;
            Beside beside;
            const Measure g = measureGStreamer(c, gstResident);
            const Measure a = measureSender(c);
            const Measure w = measureProgram(c, QDir(programDir.path()), displayServer, beside, wholeResident);
            if (g.fps <= 0 || a.fps <= 0 || w.fps <= 0) {
                std::fprintf(stderr, "window_cost_bench: a camera delivered nothing (GStreamer %.1f fps, "
                             "sender %.1f fps, program %.1f fps)\n", g.fps, a.fps, w.fps);
                return 1;
            }
            const double frames = w.fps * kSeconds;
            gst.push_back(g.cpuMsPerFrame);
            gstFps.push_back(g.fps);
            gstRss.push_back(gstResident);
            alone.push_back(a.cpuMsPerFrame);
            aloneFps.push_back(a.fps);
            whole.push_back(w.cpuMsPerFrame);
            wholeFps.push_back(w.fps);
            wholeRss.push_back(wholeResident);
            gui.push_back(beside.windowThreads * 1000 / frames);
            display.push_back(beside.displayServer * 1000 / frames);
        }
        const QString sizes = QStringLiteral("%1 -> %2x%3").arg(QFileInfo(c.clip).baseName()).arg(c.width).arg(c.height);
        const double base = median(gst);
        std::printf("| %s | GStreamer | %.2f | 1.00 | %.1f | %.0f |\n", qPrintable(sizes), base, median(gstFps),
                    median(gstRss));
        std::printf("| | FrameSender alone | %.2f | %.2f | %.1f | |\n", median(alone), median(alone) / base,
                    median(aloneFps));
        std::printf("| | the program, window shown | %.2f | %.2f | %.1f | %.0f |\n", median(whole),
                    median(whole) / base, median(wholeFps), median(wholeRss));
        std::printf("| | of which the window's threads | %.2f | | | |\n", median(gui));
        if (displayServer)
            std::printf("| | the display server, besides | %.2f | | | |\n", median(display));
        std::fflush(stdout);
    }
    return 0;
}
