#pragma once

// What the PipeWire benchmarks share: CPU clocks of this and other processes,
// and pw_frame_counter, the one consumer every producer is read by.
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace bench {

constexpr double kSeconds = 5.0;

inline double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// CPU seconds of this process's threads but the calling one: a producer in
// this process, without the thread that reads the counter's lines (for a
// producer in a process of its own that reading is not counted either).
inline double producerCpuSeconds()
{
    timespec reader{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &reader);
    return processCpuSeconds() - (double(reader.tv_sec) + reader.tv_nsec / 1e9);
}

// CPU seconds of another process, all its threads, in nanoseconds: /proc's
// clock ticks (10 ms) would be as large as the differences measured.
inline double childCpuSeconds(qint64 pid)
{
    clockid_t clock{};
    timespec t{};
    if (clock_getcpuclockid(pid_t(pid), &clock) != 0 || clock_gettime(clock, &t) != 0)
        return 0;
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// CPU seconds of one thread of any process, by its /proc/PID/task/TID folder.
inline double threadCpuSeconds(const QString& task)
{
    QFile schedstat(task + QStringLiteral("/schedstat"));
    if (!schedstat.open(QIODevice::ReadOnly))
        return 0;
    return schedstat.readAll().split(' ').value(0).toDouble() / 1e9;  // time on a CPU, in ns
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

// Frames of the right size and first byte (any when `firstByte` is -1) the
// counter receives over kSeconds, and `cpu` spent meanwhile. Start-up,
// linking and the first two seconds of streaming (buffers touched the first
// time, caches filling) are left out.
template <typename CpuSeconds>
Measure measure(FrameCounter& counter, qsizetype frameBytes, int firstByte, CpuSeconds cpu)
{
    FrameCounter::Buffer buffer;
    constexpr int kWarmUpFrames = 60;
    for (int i = 0; i < kWarmUpFrames; ++i)
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
        if (buffer.bytes == frameBytes && (firstByte < 0 || std::abs(buffer.firstByte - firstByte) <= 8))
            ++frames;
        else
            ++m.wrongFrames;
    }
    const double cpuUsed = cpu() - cpuStart;
    m.cpuMsPerFrame = frames ? cpuUsed * 1000 / frames : 0;
    m.fps = frames / (timer.elapsed() / 1000.0);
    return m;
}

} // namespace bench
