#include "app/single_instance.h"

#include "app/instance_request.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <optional>

#include <sys/resource.h>

namespace {

constexpr int kTimeoutMs = 2000;
// Later starts heard at once; a new one drops the oldest, so that a neighbour
// holding connections open cannot take every file the process may open.
constexpr int kMaxClients = 32;
// How often the server is checked and, when it has stopped, started again.
constexpr int kRelistenMs = 1000;

QString socketPath(const QString& directory)
{
    return QDir(directory).filePath(QStringLiteral("orvenna.socket"));
}

// Sessions start programs at a soft limit of 1024 open files, far below the
// hard one; nothing in this program uses select(), which the low limit spares.
void raiseOpenFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

void dropOldestClients(QLocalServer* server)
{
    // Children in the order they came.
    QList<QLocalSocket*> open = server->findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly);
    open.removeIf([](const QLocalSocket* socket) { return socket->state() != QLocalSocket::ConnectedState; });
    for (qsizetype i = 0; i < open.size() - kMaxClients; ++i)
        open[i]->abort();
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
    raiseOpenFileLimit();
    auto* server = new QLocalServer(this);
    // Qt closes the server for good when accepting fails (as when the process
    // has no file left to open), and its socket file may be removed: either
    // way it listens again. The lock is ours, so a socket found here is stale.
    const auto listen = [server, path = socketPath(directory)] {
        if (server->isListening() && QFileInfo::exists(path))
            return;
        server->close();
        QLocalServer::removeServer(path);
        server->listen(path);  // may fail until files are free again
    };
    listen();
    auto* relisten = new QTimer(server);
    connect(relisten, &QTimer::timeout, server, listen);
    relisten->start(kRelistenMs);
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            socket->setReadBufferSize(instance_request::kHeaderBytes + instance_request::kMaxPayloadBytes);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A client gets this long to deliver its request.
            QTimer::singleShot(kTimeoutMs, socket, &QLocalSocket::abort);
            const auto readRequest = [this, socket] {
                using namespace instance_request;
                if (socket->bytesAvailable() < kHeaderBytes)
                    return;
                const std::optional<qint64> length = payloadLength(socket->peek(kHeaderBytes));
                if (length && socket->bytesAvailable() < kHeaderBytes + *length)
                    return;
                std::optional<QStringList> files;
                if (length)
                    files = decodePayload(socket->read(kHeaderBytes + *length).sliced(kHeaderBytes));
                // One request a connection; whatever follows is dropped.
                socket->abort();
                if (files)
                    emit activationRequested(*files);
            };
            connect(socket, &QLocalSocket::readyRead, this, readRequest);
            readRequest();
        }
        dropOldestClients(server);
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
    socket.write(instance_request::encode(files));
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kTimeoutMs)) {
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kTimeoutMs);
}
