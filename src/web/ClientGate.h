#pragma once

#include <QList>
#include <QPointer>
#include <QTcpServer>

class QTcpSocket;

namespace web {

// The web server's listening socket: it takes at most maxClients connections at once (the next
// one is answered 503 and closed), and watches every request's size before the HTTP server
// buffers it (RequestSizeGuard): one too large is answered 413 or 431 and its connection ends.
class ClientGate : public QTcpServer {
    Q_OBJECT

public:
    ClientGate(int maxClients, QObject* socketOwner, QObject* parent = nullptr);

    // Connections open, HTTP and WebSocket alike (an upgraded one is the same socket).
    int clientCount() const;
    // Ends every connection taken.
    void abortAll();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void watch(QTcpSocket* socket);

    const int maxClients_;
    QObject* socketOwner_;
    // Weak: the HTTP server and the WebSockets own the sockets and may cut every signal of an
    // upgraded one.
    QList<QPointer<QTcpSocket>> clients_;
};

// Writes a whole HTTP answer with a JSON error and closes the connection after it.
void RefuseConnection(QTcpSocket* socket, int status, const QByteArray& reason,
                      const QString& message);

} // namespace web
