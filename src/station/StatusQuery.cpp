#include "station/StatusQuery.h"

#include "station/StatusSocket.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>

namespace station {

StatusQueryResult QueryStatus(const QString& directory, QString* text, int timeoutMs) {
    const QString path = StatusSocketPath(directory);
    if (const QString problem = StatusSocketPathProblem(path); !problem.isEmpty()) {
        *text = problem;
        return StatusQueryFailed;
    }
    const QString noStation = QStringLiteral("no station runs in %1").arg(directory);
    if (!QFileInfo(path).exists()) {
        *text = noStation;
        return NoStationRuns;
    }

    QLocalSocket socket;
    socket.connectToServer(path, QIODevice::ReadOnly);
    if (!socket.waitForConnected(timeoutMs)) {
        switch (socket.error()) {
        case QLocalSocket::ServerNotFoundError:
        case QLocalSocket::ConnectionRefusedError:
            *text = noStation;
            return NoStationRuns;
        case QLocalSocket::SocketTimeoutError:
            *text = QStringLiteral("no station answers on %1").arg(path);
            return NoStationRuns;
        default:
            *text =
                QStringLiteral("cannot ask the station on %1: %2").arg(path, socket.errorString());
            return StatusQueryFailed;
        }
    }

    // The station sends its text and closes.
    QByteArray answer;
    const QDeadlineTimer deadline(timeoutMs);
    while (socket.state() != QLocalSocket::UnconnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        answer += socket.readAll();
    }
    answer += socket.readAll();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        *text = answer.isEmpty()
                    ? QStringLiteral("no station answers on %1").arg(path)
                    : QStringLiteral("the station on %1 did not finish its answer").arg(path);
        return answer.isEmpty() ? NoStationRuns : StatusQueryFailed;
    }
    if (answer.isEmpty()) {
        *text = QStringLiteral("the station on %1 closed without answering (too many asking at "
                               "once?)")
                    .arg(path);
        return StatusQueryFailed;
    }
    *text = QString::fromUtf8(answer);
    return StatusAnswered;
}

} // namespace station
