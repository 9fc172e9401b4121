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

#include <cstdio>
#include <string>

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

// The program on `clip`, Play pressed with its Space shortcut. `displayCpu`
// gets the display server's CPU over the same interval.
Measure measureProgram(const QString& clip, qint64 displayServer, double& displayCpu)
{
    QProcess program;
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(QStringLiteral(ORVENNA_PROGRAM), {clip});
    if (!program.waitForStarted())
        return {};
    const QString pid = QString::number(program.processId());
    QProcess press;
    press.setProcessChannelMode(QProcess::ForwardedChannels);
    press.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--pid"), pid, QStringLiteral("--name"), QStringLiteral("^Orvenna"),
                 QStringLiteral("windowfocus"), QStringLiteral("--sync"), QStringLiteral("key"),
                 QStringLiteral("space")});
    Measure result;
    if (press.waitForFinished(20000) && press.exitCode() == 0) {
        FrameCounter counter(kNode, QStringLiteral("BGR"), kWidth, kHeight);
        double displayStart = -1;
        result = measure(counter, kFrameBytes, -1, [&] {
            const double display = displayServer ? childCpuSeconds(displayServer) : 0;
            displayCpu = displayStart < 0 ? 0 : display - displayStart;
            if (displayStart < 0)
                displayStart = display;
            return childCpuSeconds(program.processId());
        });
    }
    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(5000);
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qint64 displayServer = argc > 1 ? QByteArray(argv[1]).toLongLong() : 0;
    const QString clip = QStringLiteral(ORVENNA_BENCH_CLIP);
    const Measure alone = measureSender(clip);
    double displayCpu = 0;
    const Measure whole = measureProgram(clip, displayServer, displayCpu);
    if (alone.fps <= 0 || whole.fps <= 0) {
        std::fprintf(stderr, "window_cost_bench: a camera delivered nothing (sender %.1f fps, program %.1f fps)\n",
                     alone.fps, whole.fps);
        return 1;
    }
    std::printf("1920x1080 clip into a %dx%d camera, %.0f s each; CPU of the process per frame "
                "the consumer received.\n\n"
                "| streaming | ms CPU/frame | fps |\n|---|---|---|\n"
                "| FrameSender alone | %.2f | %.1f |\n"
                "| the program, window shown | %.2f | %.1f |\n",
                kWidth, kHeight, kSeconds, alone.cpuMsPerFrame, alone.fps, whole.cpuMsPerFrame, whole.fps);
    if (displayServer)
        std::printf("| (the display server meanwhile) | %.2f | |\n",
                    whole.fps > 0 ? displayCpu * 1000 / (whole.fps * kSeconds) : 0.0);
    std::printf("\nThe window's share of the program's CPU: %.1f %%\n",
                100.0 * (whole.cpuMsPerFrame - alone.cpuMsPerFrame) / whole.cpuMsPerFrame);
    return 0;
}
