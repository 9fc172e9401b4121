#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <chrono>

// A camera consumer we did not write: GStreamer's pipewiresrc, run as its own
// process, writing the raw frames it receives to a pipe.
class GstConsumer {
public:
    // Reads the node `target` in `caps` (e.g. "video/x-raw,format=I420");
    // every frame is `frameBytes` long. `convertTo` (e.g. "BGR") adds
    // GStreamer's own videoconvert to that format.
    GstConsumer(const QString& target, const QString& caps, qsizetype frameBytes,
                const QString& convertTo = {});
    ~GstConsumer();

    // The next whole frame; false when none arrives within `timeout`.
    bool nextFrame(QByteArray& frame, std::chrono::milliseconds timeout = std::chrono::seconds(20));

    // Ends the process and waits for it.
    void stop();

private:
    QProcess m_process;
    QByteArray m_pending;
    qsizetype m_frameBytes;
};
