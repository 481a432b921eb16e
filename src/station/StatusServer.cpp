#include "station/StatusServer.h"

#include "station/StationLogging.h"
#include "station/StatusSocket.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>
#include <sys/stat.h>

namespace station {

namespace {

// Long enough for a running station's event loop to accept, short enough not to delay start-up.
constexpr int AnswersWithinMs = 500;

} // namespace

StatusServer::StatusServer(std::function<QString()> status, int clientTimeoutMs, QObject* parent)
    : QObject(parent), status_(std::move(status)), clientTimeoutMs_(clientTimeoutMs) {
    server_.setSocketOptions(QLocalServer::WorldAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &StatusServer::accept);
}

StatusServer::~StatusServer() {
    Close();
    // While clients_ is still there to count them down.
    qDeleteAll(server_.findChildren<QLocalSocket*>());
}

bool StatusServer::Listen(const QString& directory, QString* error) {
    Close();
    const QString path = StatusSocketPath(directory);
    QString why = StatusSocketPathProblem(path);
    // Listening replaces whatever lies at the path, so a running station is asked first.
    if (why.isEmpty() && clearStaleSocket(path, &why) && !server_.listen(path)) {
        // The socket is made in the directory, then renamed into place.
        const QFileInfo place(directory);
        why = QStringLiteral("cannot listen on %1: %2")
                  .arg(path, place.isDir() && place.isWritable()
                                 ? server_.errorString()
                                 : QStringLiteral("the directory is missing or not writable"));
    }
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        qCWarning(lcStation).noquote() << "status socket:" << why;
        return false;
    }
    qCInfo(lcStation).noquote() << "status socket listens on" << path;
    return true;
}

bool StatusServer::clearStaleSocket(const QString& path, QString* error) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return true; // nothing there
    if (!S_ISSOCK(info.st_mode)) {
        *error = QStringLiteral("%1 exists and is not a socket; it is left as it is").arg(path);
        return false;
    }
    QString why;
    switch (ProbeStatusSocket(path, AnswersWithinMs, &why)) {
    case SocketProbe::Answers:
        *error = QStringLiteral("another station already answers on %1").arg(path);
        return false;
    case SocketProbe::Unknown:
        *error = QStringLiteral("cannot tell whether a station answers on %1: %2").arg(path, why);
        return false;
    case SocketProbe::Silent:
        break;
    }
    qCInfo(lcStation).noquote() << "status socket: removing" << path << "left by a station gone";
    if (!QLocalServer::removeServer(path)) {
        *error = QStringLiteral("cannot remove the stale socket %1").arg(path);
        return false;
    }
    return true;
}

void StatusServer::Close() {
    server_.close(); // removes the socket file
}

void StatusServer::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (clients_ >= MaxClients) {
            qCWarning(lcStation) << "status socket: more than" << MaxClients
                                 << "clients at once, one refused";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++clients_;
        connect(socket, &QObject::destroyed, this, [this] { --clients_; });
        QTimer::singleShot(clientTimeoutMs_, socket, &QLocalSocket::abort);
        socket->write(status_().toUtf8());
        // Closes once the text is written, without waiting for the client.
        socket->disconnectFromServer();
    }
}

} // namespace station
