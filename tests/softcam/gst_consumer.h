#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>

// The camera's node in the PipeWire graph.
inline const QString kCameraNode = QStringLiteral("orvenna-camera");

// The pw-dump object of the node named `name`, once it is listed (`listed`) or
// gone (then empty), or as last seen when `timeout` passes first.
inline QJsonObject waitForNode(const QString& name, std::chrono::milliseconds timeout, bool listed = true)
{
    const QDeadlineTimer deadline(timeout);
    for (;; QThread::msleep(100)) {  // pw-dump is a snapshot: ask again
        QProcess dump;
        dump.start(QStringLiteral("pw-dump"), {});
        QJsonObject node;
        if (dump.waitForFinished(10000))
            for (const QJsonValue& object : QJsonDocument::fromJson(dump.readAllStandardOutput()).array())
                if (object[u"info"][u"props"][u"node.name"].toString() == name)
                    node = object.toObject();
        if (node.isEmpty() != listed || deadline.hasExpired())
            return node;
    }
}

// Cases in the private PipeWire session; skipped where PipeWire cannot run (the
// session script then leaves the reason in the runtime directory).
class PipeWireTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile why(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/unavailable"));
        if (why.open(QIODevice::ReadOnly))
            GTEST_SKIP() << "PipeWire cannot be started here: " << why.readAll().trimmed().toStdString();
    }
};

// A consumer we did not write: gst-launch's pipewiresrc on the camera's node in
// `format` (then videoconvert to `convertTo`, if given), frames piped to us.
class GstConsumer {
public:
    GstConsumer(const QString& format, qsizetype frameBytes, const QString& convertTo = {})
        : m_frameBytes(frameBytes)
    {
        // pipewiresrc links only when caps follow it.
        QString pipeline = QStringLiteral("pipewiresrc target-object=%1 ! video/x-raw,format=%2 ! ")
                               .arg(kCameraNode, format);
        if (!convertTo.isEmpty())
            pipeline += QStringLiteral("videoconvert ! video/x-raw,format=%1 ! ").arg(convertTo);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("gst-launch-1.0"), ("-q " + pipeline + "fdsink fd=1").split(u' '));
    }
    ~GstConsumer() { stop(); }

    // The next whole frame; false when none arrives within `timeout`.
    bool nextFrame(QByteArray& frame, std::chrono::milliseconds timeout = std::chrono::seconds(20))
    {
        const QDeadlineTimer deadline(timeout);
        while (m_pending.size() < m_frameBytes) {
            if (m_process.bytesAvailable() == 0 && !m_process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
            m_pending += m_process.readAll();
        }
        frame = m_pending.left(m_frameBytes);
        m_pending.remove(0, m_frameBytes);
        return true;
    }

    // Whether a whole frame has arrived, without waiting: for callers running an event loop.
    bool hasFrame()
    {
        m_pending += m_process.readAll();
        return m_pending.size() >= m_frameBytes;
    }

    void stop()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
    QByteArray m_pending;
    qsizetype m_frameBytes;
};
