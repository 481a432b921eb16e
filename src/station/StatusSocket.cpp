#include "station/StatusSocket.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <sys/stat.h>
#include <sys/un.h>

namespace station {

QString StatusSocketPath(const QString& directory) {
    return QDir(directory).absoluteFilePath(QStringLiteral("Ventrolo.status"));
}

QString StatusSocketPathProblem(const QString& path) {
    // sun_path also holds the terminating zero.
    constexpr qsizetype Room = sizeof(sockaddr_un::sun_path) - 1;
    const qsizetype bytes = QFile::encodeName(path).size();
    if (bytes <= Room)
        return {};
    return QStringLiteral("the status socket path %1 is %2 bytes long, a Unix socket takes at "
                          "most %3: choose a shorter program directory")
        .arg(path)
        .arg(bytes)
        .arg(Room);
}

SocketProbe ProbeStatusSocket(const QString& path, int timeoutMs, QString* error) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISSOCK(info.st_mode))
        return SocketProbe::Silent;
    QLocalSocket probe;
    probe.connectToServer(path, QIODevice::ReadOnly);
    if (probe.waitForConnected(timeoutMs)) {
        probe.abort();
        return SocketProbe::Answers;
    }
    if (probe.error() == QLocalSocket::ConnectionRefusedError ||
        probe.error() == QLocalSocket::ServerNotFoundError)
        return SocketProbe::Silent;
    if (error)
        *error = probe.errorString();
    return SocketProbe::Unknown;
}

QString StationAnswering(const QString& directory) {
    // Long enough for a running station's event loop to accept, short enough not to delay
    // the start.
    constexpr int AnswersWithinMs = 500;
    const QString path = StatusSocketPath(directory);
    if (StatusSocketPathProblem(path).isEmpty() &&
        ProbeStatusSocket(path, AnswersWithinMs) == SocketProbe::Answers)
        return QStringLiteral("a station answers on %1").arg(path);
    return {};
}

} // namespace station
