#include "station/RotctldSession.h"

#include "station/StationLogging.h"

#include <QTcpSocket>

namespace station {

RotctldSession::RotctldSession(QTcpSocket* socket, RotctldResponder& responder, QObject* parent)
    : QObject(parent), socket_(socket), responder_(responder) {
    socket_->setParent(this);
    socket_->setReadBufferSize(MaxReadBytes);
    connect(socket_, &QTcpSocket::readyRead, this, &RotctldSession::schedule);
    connect(socket_, &QTcpSocket::bytesWritten, this, &RotctldSession::schedule);
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        closing_ = true;
        emit closed();
        deleteLater();
    });
    // Lines that came with the connection.
    schedule();
}

RotctldSession::~RotctldSession() = default;

void RotctldSession::close() {
    if (closing_)
        return;
    closing_ = true;
    socket_->disconnectFromHost();
}

void RotctldSession::schedule() {
    if (scheduled_ || closing_)
        return;
    scheduled_ = true;
    QMetaObject::invokeMethod(this, &RotctldSession::serve, Qt::QueuedConnection);
}

bool RotctldSession::lineWaiting() const {
    const qint64 available = socket_->bytesAvailable();
    return socket_->canReadLine() || available >= MaxLineBytes || (discarding_ && available > 0);
}

void RotctldSession::serve() {
    scheduled_ = false;
    for (int served = 0; served < MaxLinesPerPass; ++served) {
        // A client that does not read its replies is read from again once they have gone.
        if (closing_ || socket_->bytesToWrite() > MaxUnsentBytes || !lineWaiting())
            return;
        const QByteArray line = socket_->readLine(MaxLineBytes);
        const bool whole = line.endsWith('\n');
        if (discarding_) {
            discarding_ = !whole;
            continue;
        }
        if (!whole) {
            qCInfo(lcStation) << "rotctld client" << socket_->peerAddress().toString()
                              << "sent a line longer than" << MaxLineBytes << "bytes";
            discarding_ = true;
            socket_->write(RotctldReply({}, RotctldInvalidParameter));
            continue;
        }
        const RotctldRequest request = ParseRotctldLine(line);
        if (request.command == RotctldCommand::Quit) {
            close();
            return;
        }
        if (request.command != RotctldCommand::Blank)
            socket_->write(responder_.Answer(request));
    }
    // The budget of this pass is spent: the rest in a later one, after other events.
    if (lineWaiting())
        schedule();
}

} // namespace station
