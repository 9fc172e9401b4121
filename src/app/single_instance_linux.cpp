#include "app/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>
#include <QtEndian>

#include <optional>

// A later start's request on the socket: the magic "ORVA", the payload's
// length as a 32-bit big-endian number, then the payload: absolute paths in
// UTF-8, each ended by a zero byte. Anything else is dropped unanswered.

namespace {

constexpr QByteArrayView kMagic = "ORVA";
constexpr qint64 kHeaderBytes = 8;
constexpr qint64 kMaxPayloadBytes = 64 * 1024;
constexpr int kTimeoutMs = 2000;

QString socketPath(const QString& directory)
{
    return QDir(directory).filePath(QStringLiteral("orvenna.socket"));
}

QByteArray encodeRequest(const QStringList& files)
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

// The files of a complete payload; nothing when it is not one.
std::optional<QStringList> decodePayload(const QByteArray& payload)
{
    QStringList files;
    if (payload.isEmpty())
        return files;
    if (!payload.endsWith('\0'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (const QByteArray& bytes : payload.chopped(1).split('\0')) {
        const QString path = utf8(bytes);
        if (utf8.hasError() || !QDir::isAbsolutePath(path))
            return std::nullopt;
        files.append(path);
    }
    return files;
}

} // namespace

QString SingleInstance::lockDirectory()
{
    // Per user and private (Qt checks owner and mode 0700); /tmp is shared
    // by every user, so there is no fallback.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

void SingleInstance::listenForRequests(const QString& directory)
{
    auto* server = new QLocalServer(this);
    // The lock is ours, so a socket found here was left by a crashed instance.
    QLocalServer::removeServer(socketPath(directory));
    if (!server->listen(socketPath(directory))) {
        delete server;  // runs on; later starts just cannot reach it
        return;
    }
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            socket->setReadBufferSize(kHeaderBytes + kMaxPayloadBytes);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A client gets this long to deliver its request.
            QTimer::singleShot(kTimeoutMs, socket, &QLocalSocket::abort);
            const auto readRequest = [this, socket] {
                if (socket->bytesAvailable() < kHeaderBytes)
                    return;
                const QByteArray header = socket->peek(kHeaderBytes);
                const quint32 length = qFromBigEndian<quint32>(header.constData() + kMagic.size());
                const bool valid = header.startsWith(kMagic) && length <= kMaxPayloadBytes;
                if (valid && socket->bytesAvailable() < kHeaderBytes + length)
                    return;
                std::optional<QStringList> files;
                if (valid)
                    files = decodePayload(socket->read(kHeaderBytes + length).sliced(kHeaderBytes));
                // One request a connection; whatever follows is dropped.
                socket->abort();
                if (files)
                    emit activationRequested(*files);
            };
            connect(socket, &QLocalSocket::readyRead, this, readRequest);
            readRequest();
        }
    });
}

void SingleInstance::requestActivation(const QString& directory, const QStringList& files)
{
    // No answer is waited for: a holder without a listening socket (still
    // starting, or unable to listen) just misses the request.
    QLocalSocket socket;
    socket.connectToServer(socketPath(directory));
    if (!socket.waitForConnected(kTimeoutMs))
        return;
    socket.write(encodeRequest(files));
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kTimeoutMs)) {
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kTimeoutMs);
}
