#include "station/StatusSocket.h"

#include <QDir>
#include <QFile>
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

} // namespace station
