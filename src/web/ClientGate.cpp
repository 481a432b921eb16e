#include "web/ClientGate.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTcpSocket>
#include <algorithm>

namespace web {

namespace {

Q_LOGGING_CATEGORY(lcGate, "ventrolo.web")

constexpr int SweepEveryMs = 250;

// A peer's address as one text for IPv4 and IPv4-mapped IPv6 alike.
QString PeerOf(const QHostAddress& address) {
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4).toString() : address.toString();
}

bool Ended(const QPointer<QTcpSocket>& socket) {
    return !socket || socket->state() == QAbstractSocket::UnconnectedState;
}

} // namespace

struct ClientGate::Connection {
    QPointer<QTcpSocket> socket;
    QString peer;
    RequestSizeGuard guard;
    double heardMs = 0;        // the last bytes, or the connection's start
    double requestSinceMs = 0; // the first byte of the request under way
    double upgradedMs = -1;    // when taken as a WebSocket
    double closingMs = -1;     // when closed for being idle
    bool vouched = false;
};

void RefuseConnection(QTcpSocket* socket, int status, const QByteArray& reason,
                      const QString& message) {
    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("error"), message}})
                                .toJson(QJsonDocument::Compact);
    socket->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
                  "\r\nContent-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

ClientGate::ClientGate(platform::Platform& platform, QObject* socketOwner, QObject* parent)
    : QTcpServer(parent), platform_(platform), socketOwner_(socketOwner),
      sweepTimer_(platform.createTimer([this] { sweep(); })) {}

ClientGate::~ClientGate() = default;

int ClientGate::clientCount() const {
    return int(std::count_if(connections_.begin(), connections_.end(),
                             [](const auto& c) { return !Ended(c->socket); }));
}

void ClientGate::abortAll() {
    std::vector<QPointer<QTcpSocket>> sockets;
    for (const auto& c : connections_)
        sockets.push_back(c->socket);
    for (const QPointer<QTcpSocket>& socket : sockets) {
        if (socket)
            socket->abort();
    }
    connections_.clear();
    sweepTimer_->stop();
}

ClientGate::Connection* ClientGate::find(const QTcpSocket* socket) {
    const auto it = std::find_if(connections_.begin(), connections_.end(),
                                 [socket](const auto& c) { return c->socket == socket; });
    return it == connections_.end() ? nullptr : it->get();
}

ClientGate::Connection* ClientGate::find(const QHostAddress& peer, quint16 port) {
    const QString address = PeerOf(peer);
    const auto it = std::find_if(connections_.begin(), connections_.end(), [&](const auto& c) {
        return c->socket && c->socket->peerPort() == port && c->peer == address;
    });
    return it == connections_.end() ? nullptr : it->get();
}

void ClientGate::upgraded(const QHostAddress& peer, quint16 port) {
    if (Connection* connection = find(peer, port))
        connection->upgradedMs = platform_.steadyMs();
}

void ClientGate::vouchFor(const QTcpSocket* socket) {
    if (Connection* connection = find(socket))
        connection->vouched = true;
}

void ClientGate::vouchFor(const QHostAddress& peer, quint16 port) {
    if (Connection* connection = find(peer, port))
        connection->vouched = true;
}

bool ClientGate::keepsAlive(const QTcpSocket* socket) {
    Connection* connection = find(socket);
    return !connection || connection->guard.takeKeepAlive();
}

void ClientGate::prune() {
    std::erase_if(connections_, [](const auto& c) { return Ended(c->socket); });
}

bool ClientGate::makeRoom(const QString& peer) {
    const bool peerFull =
        std::count_if(connections_.begin(), connections_.end(),
                      [&](const auto& c) { return c->peer == peer; }) >= PeerShare;
    if (!peerFull && int(connections_.size()) < Places)
        return true;
    // The peer's own connection when its share is taken, else anyone's.
    Connection* quietest = nullptr;
    for (const auto& c : connections_) {
        if (c->vouched || (peerFull && c->peer != peer))
            continue;
        if (!quietest || c->heardMs < quietest->heardMs)
            quietest = c.get();
    }
    if (!quietest)
        return false;
    if (const int closed = closedLog_.count(platform_.steadyMs()))
        qCDebug(lcGate).noquote()
            << (closed == 1 ? QStringLiteral("connection of %1 closed: its place was wanted and it "
                                             "had shown no right to it")
                                  .arg(quietest->peer)
                            : QStringLiteral("%1 connections closed, the last of %2: their places "
                                             "were wanted and they had shown no right to them")
                                  .arg(closed)
                                  .arg(quietest->peer));
    const QPointer<QTcpSocket> socket = quietest->socket;
    std::erase_if(connections_, [quietest](const auto& c) { return c.get() == quietest; });
    if (socket)
        socket->abort();
    return true;
}

void ClientGate::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(socketOwner_);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    prune();
    const QString peer = PeerOf(socket->peerAddress());
    if (!makeRoom(peer)) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        RefuseConnection(socket, 503, "Service Unavailable",
                         QStringLiteral("every place of this server is taken"));
        return;
    }
    auto connection = std::make_unique<Connection>();
    connection->socket = socket;
    connection->peer = peer;
    connection->heardMs = platform_.steadyMs();
    connections_.push_back(std::move(connection));
    if (!sweepTimer_->isActive())
        sweepTimer_->start(SweepEveryMs);
    watch(socket);
    // The HTTP server connects to readyRead after this: the size is looked at first.
    addPendingConnection(socket);
}

void ClientGate::watch(QTcpSocket* socket) {
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { received(socket); });
}

void ClientGate::received(QTcpSocket* socket) {
    using Verdict = RequestSizeGuard::Verdict;
    Connection* connection = find(socket);
    if (!connection || connection->upgradedMs >= 0 || !socket->isOpen())
        return;
    if (socket->state() != QAbstractSocket::ConnectedState) {
        (void)socket->readAll();
        return;
    }
    const double now = platform_.steadyMs();
    const bool wasBetween = connection->guard.betweenRequests();
    // The HTTP server reads everything each time: what is available is new.
    const Verdict verdict = connection->guard.feed(socket->peek(socket->bytesAvailable()));
    connection->heardMs = now;
    if (wasBetween && !connection->guard.betweenRequests())
        connection->requestSinceMs = now;
    switch (verdict) {
    case Verdict::Fine:
        return;
    case Verdict::HeadTooLarge:
        (void)socket->readAll();
        RefuseConnection(socket, 431, "Request Header Fields Too Large",
                         QStringLiteral("the request's head is over 16 KB"));
        return;
    case Verdict::BodyTooLarge:
        (void)socket->readAll();
        RefuseConnection(socket, 413, "Payload Too Large",
                         QStringLiteral("the request's body is over 16 KB"));
        return;
    case Verdict::LengthRequired:
        (void)socket->readAll();
        RefuseConnection(socket, 411, "Length Required",
                         QStringLiteral("the request's body must have a Content-Length"));
        return;
    case Verdict::LengthsDisagree:
        (void)socket->readAll();
        RefuseConnection(socket, 400, "Bad Request",
                         QStringLiteral("the request's Content-Length headers disagree"));
        return;
    }
}

void ClientGate::sweep() {
    prune();
    const double now = platform_.steadyMs();
    enum class Ending { Idle, Late, Gone };
    std::vector<std::pair<QPointer<QTcpSocket>, Ending>> ending;
    for (const auto& c : connections_) {
        if (c->upgradedMs >= 0) {
            if (!c->vouched && now - c->upgradedMs > TokenWaitMs) {
                qCInfo(lcGate).noquote() << "WebSocket of" << c->peer << "closed: no token came";
                ending.emplace_back(c->socket, Ending::Gone);
            }
        } else if (c->closingMs >= 0) {
            // Closed, but the peer does not take the last bytes.
            if (now - c->closingMs > RequestWaitMs)
                ending.emplace_back(c->socket, Ending::Gone);
        } else if (!c->guard.betweenRequests()) {
            if (now - c->requestSinceMs > RequestWaitMs) {
                c->closingMs = now;
                ending.emplace_back(c->socket, Ending::Late);
            }
        } else if (now - c->heardMs > IdleMs) {
            c->closingMs = now;
            ending.emplace_back(c->socket, Ending::Idle);
        }
    }
    // Closing a socket may emit signals: the list is not walked meanwhile.
    for (const auto& [socket, how] : ending) {
        if (!socket)
            continue;
        switch (how) {
        case Ending::Idle:
            socket->disconnectFromHost();
            break;
        case Ending::Late:
            (void)socket->readAll();
            RefuseConnection(socket, 408, "Request Timeout",
                             QStringLiteral("the request did not come whole within %1 s")
                                 .arg(RequestWaitMs / 1000));
            break;
        case Ending::Gone:
            socket->abort();
            break;
        }
    }
    prune();
    if (connections_.empty())
        sweepTimer_->stop();
}

} // namespace web
