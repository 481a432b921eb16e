#pragma once

#include "core/LogThrottle.h"
#include "platform/Platform.h"
#include "web/RequestSizeGuard.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <memory>
#include <vector>

class QTcpSocket;

namespace web {

// The web server's listening socket and the keeper of its connections, so that neither a peer
// without the token nor one peer alone can lock the others out:
// - Places: at most Places connections at once, at most PeerShare of them from one peer
//   address. A connection holds its place once it is vouched for (a request answered on this
//   machine, the token off it); until then, when a newcomer finds no place, the unvouched
//   connection heard from longest ago is closed for it. Only when every place it may take is
//   held by vouched connections is the newcomer answered 503 and closed.
// - Sizes: each request is watched before the HTTP server buffers it (RequestSizeGuard); one
//   too large is answered 413, 431 or 411 and its connection ends.
// - Time: a request must come whole within RequestWaitMs of its first byte (else 408), and a
//   connection with no request under way for IdleMs is closed: keep-alive ends early.
// - A connection the server has taken as a WebSocket (upgraded()) leaves the HTTP limits; one
//   not vouched for (its token has not come) TokenWaitMs after the upgrade is closed.
class ClientGate : public QTcpServer {
    Q_OBJECT

public:
    // Eight pages at once, each with its WebSocket and two requests under way, fit one peer's
    // share.
    static constexpr int Places = 48;
    static constexpr int PeerShare = Places / 2;
    static constexpr int RequestWaitMs = 5000;
    static constexpr int IdleMs = 4000;
    static constexpr int TokenWaitMs = 2000;
    // At most one log line this often (ms) tells of the connections closed for newcomers.
    static constexpr double TellClosedEveryMs = 10 * 1000;

    // Times are platform's; the sockets are children of socketOwner.
    ClientGate(platform::Platform& platform, QObject* socketOwner, QObject* parent = nullptr);
    ~ClientGate() override;

    // Connections open, HTTP and WebSocket alike (an upgraded one is the same socket).
    int clientCount() const;
    // Ends every connection taken.
    void abortAll();
    // The server took the connection of this peer address and port as a WebSocket.
    void upgraded(const QHostAddress& peer, quint16 port);
    // The connection belongs: it holds its place.
    void vouchFor(const QTcpSocket* socket);
    void vouchFor(const QHostAddress& peer, quint16 port);
    // Whether the connection stays open after the answer to its oldest request not yet
    // answered (see RequestSizeGuard::takeKeepAlive); each answer asks once.
    bool keepsAlive(const QTcpSocket* socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection;
    Connection* find(const QTcpSocket* socket);
    Connection* find(const QHostAddress& peer, quint16 port);
    // Frees a place for a newcomer from peer, closing an unvouched connection when needed;
    // false when none may be closed.
    bool makeRoom(const QString& peer);
    void watch(QTcpSocket* socket);
    void received(QTcpSocket* socket);
    // Closes the connections that have run out of time.
    void sweep();
    // Forgets the connections that have ended.
    void prune();

    platform::Platform& platform_;
    QObject* socketOwner_;
    std::unique_ptr<platform::Timer> sweepTimer_;
    std::vector<std::unique_ptr<Connection>> connections_;
    core::LogThrottle closedLog_{TellClosedEveryMs};
};

// Writes a whole HTTP answer with a JSON error and closes the connection after it.
void RefuseConnection(QTcpSocket* socket, int status, const QByteArray& reason,
                      const QString& message);

} // namespace web
