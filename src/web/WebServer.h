#pragma once

#include "platform/Platform.h"
#include "web/RequestBudget.h"
#include "web/WebApi.h"
#include "web/WebStatePush.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QPointer>
#include <QWebSocket>
#include <memory>
#include <vector>

class QTcpSocket;

namespace web {

class ClientGate;

// Serves the page (WebPage) at / (GET and HEAD), the JSON API (WebApi) under /api/, and pushes
// the state through WebSockets at /api/ws, paced by WebStatePush.
// - On a loopback address nobody is asked for a token, but the Host header must name this
//   machine (a page of another name that resolves here is refused). On any other address
//   every /api/ request needs "Authorization: Bearer <token>" (the scheme in any case; 401
//   without it) and a WebSocket's first message must be {"token":"<token>"}, else it is closed.
//   Neither a cookie nor the query string carries the token.
// - A request that changes something and has an Origin header must come from this server's
//   own origin (http://<Host>), else 403; a WebSocket whose Origin is another's is closed.
// - The connections' places, sizes and times are the ClientGate's; a peer over its
//   RequestBudget gets 429; a WebSocket client whose unsent messages exceed MaxUnsentBytes, or
//   that answers none of MissedPingsAllowed pings in a row, is dropped.
class WebServer : public QAbstractHttpServer {
    Q_OBJECT

public:
    static constexpr qint64 MaxUnsentBytes = 256 * 1024;
    static constexpr int PingEveryMs = 10000;
    static constexpr int MissedPingsAllowed = 3;

    WebServer(const WebApi::Parts& parts, platform::Platform& platform, QObject* parent = nullptr);
    ~WebServer() override;

    // Listens on address:port; off loopback clients must send token. On failure nothing
    // listens and error says why.
    bool Listen(const QHostAddress& address, quint16 port, const QString& token,
                QString* error = nullptr);
    // Stops listening and ends every connection; a turn under way goes on to its end.
    void Close();
    // Something the state shows changed without the engine's or the rig's news (the motor
    // settled): the WebSocket clients are told.
    void StateChanged();
    bool listening() const;
    quint16 port() const;
    QHostAddress address() const { return address_; }
    QString token() const { return token_; }
    // Whether clients must send the token (off loopback).
    bool tokenRequired() const { return tokenRequired_; }
    // For tests on this machine: as if the address were not loopback.
    void requireToken(bool required) { tokenRequired_ = required; }
    int clientCount() const;
    int webSocketCount() const { return int(sockets_.size()); }
    WebApi& api() { return api_; }

signals:
    void listeningChanged(bool listening);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Client {
        std::unique_ptr<QWebSocket> socket;
        bool admitted = false;
        int unansweredPings = 0;
    };
    // Why the request is refused (status and message), or 0 when it may go on.
    std::pair<int, QString> refusal(const QHttpServerRequest& request, const QString& peer);
    bool hostIsLocal(const QString& host) const;
    bool tokenMatches(const QByteArray& given) const;
    // The answer to a request that is no WebSocket's upgrade; false for a path without one.
    bool answer(const QHttpServerRequest& request, QTcpSocket* socket);
    // The page's files at their paths; false for a path it does not have.
    bool servePage(const QHttpServerRequest& request, QTcpSocket* socket);
    // allow: the methods a 405 names in its Allow header.
    void reply(const QHttpServerRequest& request, QTcpSocket* socket, int status,
               const QJsonObject& body, const QByteArray& allow = {});
    // Ends the connection after the answer just written when its request asked for that.
    void closeIfAsked(QTcpSocket* socket);
    void acceptWebSockets();
    void webSocketMessage(QWebSocket* socket, const QString& message);
    void admit(Client& client);
    void pushState(const QByteArray& message);
    void dropWebSocket(QWebSocket* socket, const QString& why);
    // Pings every admitted WebSocket; one that answered none of the last pings is gone.
    void pingWebSockets();
    Client* client(QWebSocket* socket);

    platform::Platform& platform_;
    WebApi api_;
    WebStatePush push_;
    RequestBudget budget_;
    QPointer<ClientGate> gate_;
    QHostAddress address_;
    QString token_;
    bool tokenRequired_ = false;
    std::vector<Client> sockets_;
    std::unique_ptr<platform::Timer> pingTimer_;
};

} // namespace web
