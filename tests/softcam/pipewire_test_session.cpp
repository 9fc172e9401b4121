#include "pipewire_test_session.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

QString pipeWireUnavailableReason()
{
    QFile marker(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/unavailable"));
    if (!marker.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(marker.readAll()).trimmed();
}

QJsonObject waitForCameraNode(std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    do {
        QProcess dump;
        dump.start(QStringLiteral("pw-dump"), {});
        if (dump.waitForFinished(10000)) {
            const QJsonArray objects = QJsonDocument::fromJson(dump.readAllStandardOutput()).array();
            for (const QJsonValue& object : objects)
                if (object[u"info"][u"props"][u"node.name"].toString() == kCameraNode)
                    return object.toObject();
        }
        // pw-dump is a snapshot; ask again until the node has registered.
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return {};
}

GstConsumer::GstConsumer(const QString& format, qsizetype frameBytes, const QString& convertTo)
    : m_frameBytes(frameBytes)
{
    // pipewiresrc links only when caps follow it.
    QString pipeline =
        QStringLiteral("pipewiresrc target-object=%1 ! video/x-raw,format=%2 ! ").arg(kCameraNode, format);
    if (!convertTo.isEmpty())
        pipeline += QStringLiteral("videoconvert ! video/x-raw,format=%1 ! ").arg(convertTo);
    pipeline += QStringLiteral("fdsink fd=1");
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("gst-launch-1.0"),
                    QStringList{QStringLiteral("-q")} + pipeline.split(u' ', Qt::SkipEmptyParts));
}

bool GstConsumer::nextFrame(QByteArray& frame)
{
    const QDeadlineTimer deadline(std::chrono::seconds(20));
    while (m_pending.size() < m_frameBytes) {
        if (m_process.bytesAvailable() == 0 &&
            !m_process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
        m_pending += m_process.readAll();
    }
    frame = m_pending.left(m_frameBytes);
    m_pending.remove(0, m_frameBytes);
    return true;
}

void GstConsumer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
