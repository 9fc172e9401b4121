#include "gst_consumer.h"

#include <QDeadlineTimer>
#include <QStringList>

GstConsumer::GstConsumer(const QString& target, const QString& caps, qsizetype frameBytes,
                         const QString& convertTo)
    : m_frameBytes(frameBytes)
{
    // pipewiresrc links only when caps follow it.
    QString pipeline = QStringLiteral("pipewiresrc target-object=%1 ! %2 ! ").arg(target, caps);
    if (!convertTo.isEmpty())
        pipeline += QStringLiteral("videoconvert ! video/x-raw,format=%1 ! ").arg(convertTo);
    pipeline += QStringLiteral("fdsink fd=1");
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("gst-launch-1.0"),
                    QStringList{QStringLiteral("-q")} + pipeline.split(u' ', Qt::SkipEmptyParts));
}

GstConsumer::~GstConsumer()
{
    stop();
}

bool GstConsumer::nextFrame(QByteArray& frame, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
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
