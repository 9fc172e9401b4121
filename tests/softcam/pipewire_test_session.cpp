#include "pipewire_test_session.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>

QString pipeWireUnavailableReason()
{
    QFile marker(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/unavailable"));
    if (!marker.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(marker.readAll()).trimmed();
}

QJsonObject waitForNode(const QString& nodeName, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    do {
        QProcess dump;
        dump.start(QStringLiteral("pw-dump"), {});
        if (dump.waitForFinished(10000)) {
            const QJsonArray objects = QJsonDocument::fromJson(dump.readAllStandardOutput()).array();
            for (const QJsonValue& object : objects) {
                const QJsonObject info = object[QStringLiteral("info")].toObject();
                if (info[QStringLiteral("props")][QStringLiteral("node.name")].toString() == nodeName)
                    return object.toObject();
            }
        }
        // pw-dump is a snapshot; ask again until the node has registered.
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return {};
}
