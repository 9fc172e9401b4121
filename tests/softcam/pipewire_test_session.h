#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>

#include <chrono>

// The name the camera's node has in the graph.
inline const QString kCameraNode = QStringLiteral("orvenna-camera");

// Why the private PipeWire session could not be started (the session script
// leaves the reason in the runtime directory), or empty when it runs.
QString pipeWireUnavailableReason();

// Skips the current test, saying why, where PipeWire cannot run at all.
#define SKIP_WITHOUT_PIPEWIRE()                                                   \
    do {                                                                          \
        const QString reason = pipeWireUnavailableReason();                       \
        if (!reason.isEmpty())                                                    \
            GTEST_SKIP() << "PipeWire cannot be started here: " << reason.toStdString(); \
    } while (0)

// The pw-dump object of the camera's node, once it shows up; an empty object
// when it does not within `timeout`.
QJsonObject waitForCameraNode(std::chrono::milliseconds timeout);

// A camera consumer we did not write: GStreamer's pipewiresrc, run as its own
// process on the camera's node, writing the raw frames it receives to a pipe.
class GstConsumer {
public:
    // Reads the camera in GStreamer format `format` (e.g. "I420"); every frame
    // is `frameBytes` long. `convertTo` (e.g. "BGR") adds GStreamer's own
    // videoconvert to that format.
    GstConsumer(const QString& format, qsizetype frameBytes, const QString& convertTo = {});
    ~GstConsumer() { stop(); }

    // The next whole frame; false when none arrives within 20 s.
    bool nextFrame(QByteArray& frame);

    // Ends the process and waits for it.
    void stop();

private:
    QProcess m_process;
    QByteArray m_pending;
    qsizetype m_frameBytes;
};
