#include "app/instance_request.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>

namespace instance_request {

namespace {
constexpr QByteArrayView kMagic = "ORVA";
} // namespace

QByteArray encode(const QStringList& files)
{
    QByteArray payload;
    for (const QString& file : files) {
        const QByteArray path = QFileInfo(file).absoluteFilePath().toUtf8() + '\0';
        // What does not fit stays behind; the window still comes forward.
        if (payload.size() + path.size() > kMaxPayloadBytes)
            break;
        payload += path;
    }
    QByteArray message(kMagic.data(), kMagic.size());
    message.resize(kHeaderBytes);
    qToBigEndian(quint32(payload.size()), message.data() + kMagic.size());
    return message + payload;
}

std::optional<qint64> payloadLength(QByteArrayView header)
{
    if (header.size() != kHeaderBytes || !header.startsWith(kMagic))
        return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(header.data() + kMagic.size());
    if (length > kMaxPayloadBytes)
        return std::nullopt;
    return length;
}

std::optional<QStringList> decodePayload(QByteArrayView payload)
{
    QStringList files;
    if (payload.isEmpty())
        return files;
    if (!payload.endsWith('\0'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (const QByteArray& bytes : payload.chopped(1).toByteArray().split('\0')) {
        const QString path = utf8(bytes);
        if (utf8.hasError() || !QDir::isAbsolutePath(path))
            return std::nullopt;
        files.append(path);
    }
    return files;
}

} // namespace instance_request
