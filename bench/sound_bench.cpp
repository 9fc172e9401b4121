// What sending a video's sound as a microphone costs, and whether it stays
// with the picture over a long run. Run in a PipeWire session:
// bench/sound_bench.sh.
//
// 1. CPU: FrameSender streams a 640 x 360 clip with AAC sound into a camera
//    read by pipewiresrc, without its sound and with it (the microphone read
//    by pipewiresrc too), in rounds taking turns; the CPU of this process and
//    of the PipeWire daemon per second of streaming, medians.
// 2. Drift: a clip of `minutes` minutes (tone_steps.mkv's picture and sound,
//    sound_marks.h) streamed once with its sound, the camera and the
//    microphone read by the test probe the whole time; how much later the
//    sound arrives than the picture, every minute.
//
// Usage: sound_bench CPU_CLIP DRIFT_CLIP [MINUTES]
#include "av_probe.h"
#include "frame_counter.h"

#include "camera/frame_sender.h"
#include "media/video_decoder.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Streams `clip` looped (with its sound when `sound`) until destroyed.
class Stream {
public:
    Stream(const QString& clip, int width, int height, bool sound, bool loop)
    {
        const std::wstring path = clip.toStdWString();
        if (!m_decoder.Open(path.c_str()) || !m_sender.LoadDll() ||
            !m_sender.InitCamera(width, height, float(m_decoder.m_fps)))
            return;
        m_sender.SetSoundSource(sound ? path : std::wstring());
        m_sender.StartVideo(&m_decoder, loop);
        m_ok = true;
    }
    bool ok() const { return m_ok; }
    const FrameSender& sender() const { return m_sender; }

private:
    VideoDecoder m_decoder;
    FrameSender m_sender;  // declared after the decoder: it stops first
    bool m_ok = false;
};

// A consumer that takes and drops what a node sends, in a process of its own.
class Drain {
public:
    explicit Drain(const QString& caps)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("gst-launch-1.0"), ("-q pipewiresrc target-object=" + caps + " ! fakesink").split(u' '));
    }
    ~Drain()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};

qint64 daemonPid()
{
    QFile pid(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pipewire.pid"));
    return pid.open(QIODevice::ReadOnly) ? pid.readAll().trimmed().toLongLong() : 0;
}

struct Cost {
    double process = 0;  // CPU seconds per second of streaming
    double daemon = 0;
};

Cost measureCost(const QString& clip, bool sound)
{
    Stream stream(clip, 640, 360, sound, true);
    if (!stream.ok())
        return {-1, -1};
    Drain camera(QStringLiteral("orvenna-camera ! video/x-raw,format=BGR"));
    std::unique_ptr<Drain> microphone;
    if (sound)
        microphone = std::make_unique<Drain>(QStringLiteral("orvenna-microphone ! audio/x-raw,format=F32LE"));
    QThread::sleep(2);  // linked and settled
    const qint64 daemon = daemonPid();
    const double process0 = bench::processCpuSeconds(), daemon0 = bench::childCpuSeconds(daemon), at0 = AvProbe::now();
    QThread::usleep(qint64(bench::kSeconds * 2e6));
    const double elapsed = AvProbe::now() - at0;
    return {(bench::processCpuSeconds() - process0) / elapsed, (bench::childCpuSeconds(daemon) - daemon0) / elapsed};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

int cost(const QString& clip)
{
    constexpr int kRounds = 5;
    std::vector<double> without, with, daemonWithout, daemonWith;
    for (int round = 0; round < kRounds; ++round) {
        const Cost a = measureCost(clip, false), b = measureCost(clip, true);
        if (a.process < 0 || b.process < 0) {
            std::fprintf(stderr, "sound_bench: %s does not stream\n", qPrintable(clip));
            return 1;
        }
        without.push_back(a.process * 100);
        with.push_back(b.process * 100);
        daemonWithout.push_back(a.daemon * 100);
        daemonWith.push_back(b.daemon * 100);
    }
    std::printf("CPU, %% of one core while streaming a 640x360 30 fps clip with AAC sound, %d rounds of %.0f s, "
                "medians:\n\n| | without sound | with sound | added |\n|---|---|---|---|\n"
                "| this process | %.2f | %.2f | %.2f |\n| PipeWire daemon | %.2f | %.2f | %.2f |\n\n",
                kRounds, bench::kSeconds * 2, median(without), median(with), median(with) - median(without),
                median(daemonWithout), median(daemonWith), median(daemonWith) - median(daemonWithout));
    return 0;
}

int drift(const QString& clip, int minutes)
{
    Stream stream(clip, 160, 120, true, false);
    if (!stream.ok() || waitForNode(kMicrophoneNode, std::chrono::seconds(20)).isEmpty()) {
        std::fprintf(stderr, "sound_bench: %s does not stream with its sound\n", qPrintable(clip));
        return 1;
    }
    AvProbe probe(160, 120, 25.0);
    const double start = AvProbe::now();
    std::printf("Sound minus picture on arrival over %d minutes of one stream:\n\n| minute | offset ms | "
                "pictures | frame starts heard |\n|---|---|---|---|\n", minutes);
    std::vector<double> offsets;
    for (int minute = 0; minute <= minutes; ++minute) {
        // A whole stretch of the clip's frame marks (0 to 255), from a minute's mark on.
        const double from = start + 60.0 * minute;
        double wrapped = -1;
        AvProbe::waitUntil([&] {
            for (const AvProbe::Picture& p : probe.pictures())
                if (p.at >= from && p.mark == 0)
                    return (wrapped = p.at) >= 0;
            return false;
        }, std::chrono::minutes(2));
        if (wrapped < 0 || !AvProbe::waitUntil([&] { return probe.stretchAfter(wrapped).pictures.size() >= 200; })) {
            std::fprintf(stderr, "sound_bench: minute %d: %s\n", minute,
                         wrapped < 0 ? "the clip's frame marks never started over" : "no steady stretch of 200 pictures");
            break;
        }
        const AvProbe::Offset o = probe.offset(probe.stretchAfter(wrapped));
        std::printf("| %d | %+.1f | %d | %d |\n", minute, o.seconds * 1000, o.pictures, o.sounds);
        std::fflush(stdout);
        offsets.push_back(o.seconds);
        probe.forgetBefore(AvProbe::now() - 1.0);
    }
    if (int(offsets.size()) != minutes + 1) {
        std::fprintf(stderr, "sound_bench: the stream ended early\n");
        return 1;
    }
    const auto [low, high] = std::minmax_element(offsets.begin(), offsets.end());
    std::printf("\nDrift over %d minutes: %+.1f ms (last minus first); spread %.1f ms\n", minutes,
                (offsets.back() - offsets.front()) * 1000, (*high - *low) * 1000);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: sound_bench CPU_CLIP DRIFT_CLIP [MINUTES]\n");
        return 64;
    }
    const int minutes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    const int result = cost(QString::fromLocal8Bit(argv[1]));
    return result != 0 ? result : drift(QString::fromLocal8Bit(argv[2]), minutes);
}
