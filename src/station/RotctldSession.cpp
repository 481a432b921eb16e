#include "station/RotctldSession.h"

#include "station/StationLogging.h"

#include <QTcpSocket>
#include <algorithm>
#include <poll.h>
#include <sys/socket.h>

namespace station {

namespace {

// A line ends at a newline or at a carriage return: Hamlib's rotctl ends its raw command ("w")
// with a carriage return alone. The newline of a "\r\n" is then an empty line, not answered.
qsizetype LineEnd(const QByteArray& input) {
    const auto end =
        std::find_if(input.begin(), input.end(), [](char c) { return c == '\n' || c == '\r'; });
    return end == input.end() ? -1 : end - input.begin();
}

bool EndsLine(const QByteArray& line) {
    return line.endsWith('\n') || line.endsWith('\r');
}

} // namespace

RotctldSession::RotctldSession(QTcpSocket* socket, RotctldResponder& responder,
                               platform::Platform& platform, QObject* parent)
    : QObject(parent), socket_(socket), responder_(responder), platform_(platform),
      lastLineMs_(platform.steadyMs()) {
    socket_->setParent(this);
    socket_->setReadBufferSize(MaxReadBytes);
    connect(socket_, &QTcpSocket::readyRead, this, &RotctldSession::schedule);
    connect(socket_, &QTcpSocket::bytesWritten, this, &RotctldSession::written);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The client has ended its side and Qt has closed the socket: what it sent still acts,
        // as it would have had it stayed; the replies have nowhere to go.
        if (error != QAbstractSocket::RemoteHostClosedError || closing_)
            return;
        ended_ = true;
        for (fill(); serveNextLine(); fill()) {
        }
    });
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

void RotctldSession::drop(const QString& why) {
    if (closing_)
        return;
    qCInfo(lcStation).noquote() << "rotctld client" << socket_->peerAddress().toString()
                                << "dropped:" << why;
    closing_ = true;
    socket_->abort();
}

double RotctldSession::quietMs() const {
    return platform_.steadyMs() - lastLineMs_;
}

QString RotctldSession::unwanted() const {
    if (closing_)
        return {};
    if (unreadSinceMs_ && peerGone())
        return QStringLiteral("gone without reading its replies");
    if (unreadSinceMs_ && platform_.steadyMs() - *unreadSinceMs_ >= UnreadMs)
        return QStringLiteral("its replies have not been read for %1 s").arg(UnreadMs / 1000);
    if (quietMs() >= IdleMs)
        return QStringLiteral("idle for %1 minutes").arg(IdleMs / 60000);
    return {};
}

// Asked of the socket itself: while replies wait the session reads nothing, so Qt never reads
// the end of the connection. A client that closes with replies unread resets the connection;
// one that only ended its side (a script at the end of its input) still reads and stays.
bool RotctldSession::peerGone() const {
    pollfd descriptor{static_cast<int>(socket_->socketDescriptor()), 0, 0};
    return ::poll(&descriptor, 1, 0) == 1 && (descriptor.revents & (POLLHUP | POLLERR)) != 0;
}

// The client has ended its side (a script at the end of its input) and nothing of it waits
// unread: the next read Qt makes sees that end and closes the whole socket.
bool RotctldSession::peerEnded() const {
    char byte = 0;
    return ::recv(static_cast<int>(socket_->socketDescriptor()), &byte, 1,
                  MSG_PEEK | MSG_DONTWAIT) == 0;
}

void RotctldSession::reply(const QByteArray& bytes) {
    if (ended_)
        return;
    socket_->write(bytes);
    if (!unreadSinceMs_ && socket_->bytesToWrite() > 0)
        unreadSinceMs_ = platform_.steadyMs();
}

void RotctldSession::written() {
    // Some went out: the client reads.
    if (socket_->bytesToWrite() > 0)
        unreadSinceMs_ = platform_.steadyMs();
    else
        unreadSinceMs_.reset();
    schedule();
}

void RotctldSession::schedule() {
    if (scheduled_ || closing_)
        return;
    scheduled_ = true;
    QMetaObject::invokeMethod(this, &RotctldSession::serve, Qt::QueuedConnection);
}

void RotctldSession::fill() {
    // Reading past what Qt holds makes it read the socket again, and so see the connection end.
    if (input_.size() < MaxReadBytes)
        input_ += socket_->read(MaxReadBytes - input_.size());
}

qsizetype RotctldSession::nextLineSize() const {
    const qsizetype end = LineEnd(input_);
    if (end >= 0 && end < MaxLineBytes)
        return end + 1;
    if (input_.size() >= MaxLineBytes)
        return MaxLineBytes;
    return discarding_ ? input_.size() : 0;
}

void RotctldSession::serve() {
    scheduled_ = false;
    int served = 0;
    // A client that does not read its replies is read from again once they have gone.
    while (served < MaxLinesPerPass && !closing_ && socket_->bytesToWrite() <= MaxUnsentBytes) {
        fill();
        if (!serveNextLine())
            break;
        ++served;
    }
    // Qt drops the replies it still holds when it closes the socket at the client's end: they
    // go out now, while the client still reads.
    if (served > 0 && socket_->bytesToWrite() > 0 && peerEnded())
        socket_->flush();
    // The budget of this pass is spent: the rest in a later one, after other events.
    if (served == MaxLinesPerPass) {
        fill();
        if (nextLineSize() > 0)
            schedule();
    }
}

bool RotctldSession::serveNextLine() {
    const qsizetype size = nextLineSize();
    if (size == 0)
        return false;
    const QByteArray line = input_.left(size);
    input_.remove(0, size);
    const bool whole = EndsLine(line);
    if (discarding_) {
        discarding_ = !whole;
        return true;
    }
    if (!whole) {
        qCInfo(lcStation) << "rotctld client" << socket_->peerAddress().toString()
                          << "sent a line longer than" << MaxLineBytes << "bytes";
        discarding_ = true;
        reply(RotctldReply({}, RotctldInvalidParameter));
        return true;
    }
    lastLineMs_ = platform_.steadyMs();
    const RotctldRequest request = ParseRotctldLine(line);
    if (request.command == RotctldCommand::Quit) {
        close();
        return false;
    }
    if (request.command != RotctldCommand::Blank)
        reply(responder_.Answer(request));
    return true;
}

} // namespace station
