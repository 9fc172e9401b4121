// What the window costs on top of the camera pipeline: CPU time per camera
// frame of the whole program (build/default/bin/orvenna, its window shown)
// streaming a 1080p clip into a 1280 x 720 camera, beside the same clip
// streamed by FrameSender alone in this process. Both cameras are read by
// pw_frame_counter in a process of its own, in BGR (no conversion).
// Run with a display and a PipeWire session: bench/window_cost.sh.
//
// Usage: window_cost_bench [DISPLAY_SERVER_PID]   (its CPU is shown too)
#include "frame_counter.h"

#include "camera/frame_sender.h"
#include "media/video_decoder.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kWidth = 1280;  // the window's default output size
constexpr int kHeight = 720;
constexpr qsizetype kFrameBytes = qsizetype(kWidth) * kHeight * 3;
const QString kNode = QStringLiteral("orvenna-camera");

Measure measureSender(const QString& clip)
{
    VideoDecoder decoder;
    const std::wstring path = clip.toStdWString();
    if (!decoder.Open(path.c_str()))
        return {};
    FrameSender sender;  // declared after the decoder: it stops first
    if (!sender.LoadDll() || !sender.InitCamera(kWidth, kHeight, float(decoder.m_fps)))
        return {};
    sender.StartVideo(&decoder, true);
    FrameCounter counter(kNode, QStringLiteral("BGR"), kWidth, kHeight);
    return measure(counter, kFrameBytes, -1, processCpuSeconds);
}

// CPU seconds of the window's own threads: the GUI thread (its id is the
// process's) and the threads Qt starts for it (its thread pool, which the
// painter scales large pictures on, the X and D-Bus connections), by thread id.
std::map<QString, double> windowThreads(qint64 pid)
{
    std::map<QString, double> threads;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + u'/' + tid + QStringLiteral("/comm"));
        const QByteArray name = comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
        if (tid == QString::number(pid) || name.startsWith("Thread (pooled)") || name.startsWith("QXcb") ||
            name.startsWith("QDBus"))
            threads[tid] = statCpuSeconds(tasks + u'/' + tid + QStringLiteral("/stat"));
    }
    return threads;
}

// CPU seconds spent meanwhile by others than the measured process: the
// window's threads (part of it) and the display server (apart from it).
struct Beside {
    double windowThreads = 0;
    double displayServer = 0;
};

// The program on `clip`, Play pressed with its Space shortcut.
Measure measureProgram(const QString& clip, qint64 displayServer, Beside& beside)
{
    QProcess program;
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(QStringLiteral(ORVENNA_PROGRAM), {clip});
    if (!program.waitForStarted())
        return {};
    const qint64 pid = program.processId();
    QProcess press;
    press.setProcessChannelMode(QProcess::ForwardedChannels);
    press.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"),
                 QStringLiteral("^Orvenna"), QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                 QStringLiteral("key"), QStringLiteral("space")});
    Measure result;
    if (press.waitForFinished(20000) && press.exitCode() == 0) {
        FrameCounter counter(kNode, QStringLiteral("BGR"), kWidth, kHeight);
        std::map<QString, double> threadsAtStart;
        double displayAtStart = -1;
        result = measure(counter, kFrameBytes, -1, [&] {
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
    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(5000);
    }
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qint64 displayServer = argc > 1 ? QByteArray(argv[1]).toLongLong() : 0;
    const QString clip = QStringLiteral(ORVENNA_BENCH_CLIP);
    // Rounds taking turns, medians quoted: the machine may be shared.
    constexpr int kRounds = 5;
    std::vector<double> alone, whole, gui, display, aloneFps, wholeFps;
    for (int round = 0; round < kRounds; ++round) {
        const Measure a = measureSender(clip);
        Beside beside;
        const Measure w = measureProgram(clip, displayServer, beside);
        if (a.fps <= 0 || w.fps <= 0) {
            std::fprintf(stderr, "window_cost_bench: a camera delivered nothing (sender %.1f fps, program %.1f fps)\n",
                         a.fps, w.fps);
            return 1;
        }
        const double frames = w.fps * kSeconds;
        alone.push_back(a.cpuMsPerFrame);
        aloneFps.push_back(a.fps);
        whole.push_back(w.cpuMsPerFrame);
        wholeFps.push_back(w.fps);
        gui.push_back(beside.windowThreads * 1000 / frames);
        display.push_back(beside.displayServer * 1000 / frames);
    }
    std::printf("1920x1080 clip into a %dx%d camera, %d rounds of %.0f s each, medians; CPU per "
                "frame the consumer received.\n\n"
                "| streaming | ms CPU/frame | fps |\n|---|---|---|\n"
                "| FrameSender alone (this process) | %.2f | %.1f |\n"
                "| the program, window shown | %.2f | %.1f |\n"
                "| of which the window's threads | %.2f | |\n",
                kWidth, kHeight, kRounds, kSeconds, median(alone), median(aloneFps), median(whole),
                median(wholeFps), median(gui));
    if (displayServer)
        std::printf("| the display server, besides | %.2f | |\n", median(display));
    std::printf("\nThe window's share of the program: %.1f %% by difference, %.1f %% in its own threads\n",
                100.0 * (median(whole) - median(alone)) / median(whole), 100.0 * median(gui) / median(whole));
    return 0;
}
