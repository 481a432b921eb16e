#include "web/WebServer.h"

#include "web/ClientGate.h"
#include "web/RequestSizeGuard.h"
#include "web/WebPage.h"

#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QMetaEnum>
#include <QTcpSocket>
#include <QUrl>
#include <algorithm>

namespace web {

namespace {

Q_LOGGING_CATEGORY(lcWeb, "ventrolo.web")

// The client's address as people write it: 192.168.1.20, not ::ffff:192.168.1.20.
QString PeerText(const QTcpSocket& socket) {
    bool isV4 = false;
    const quint32 v4 = socket.peerAddress().toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : socket.peerAddress().toString();
}

QByteArray MethodName(QHttpServerRequest::Method method) {
    return QByteArray(QMetaEnum::fromType<QHttpServerRequest::Method>().valueToKey(int(method)))
        .toUpper();
}

// The token of an Authorization header of the Bearer scheme (named in any case); empty for
// any other.
QByteArray BearerToken(const QByteArray& authorization) {
    const QByteArray value = authorization.trimmed();
    const qsizetype space = value.indexOf(' ');
    if (space < 0 || value.left(space).compare("bearer", Qt::CaseInsensitive) != 0)
        return {};
    return value.mid(space + 1).trimmed();
}

// The host of a Host header or URL authority: without the port, IPv6 without brackets.
QString HostName(const QString& authority) {
    return QUrl(QStringLiteral("http://") + authority).host();
}

} // namespace

WebServer::WebServer(const WebApi::Parts& parts, platform::Platform& platform, QObject* parent)
    : QAbstractHttpServer(parent), platform_(platform), api_(parts, platform, this),
      push_(
          platform, [this] { return QJsonDocument(api_.State()).toJson(QJsonDocument::Compact); },
          this),
      pingTimer_(platform.createTimer([this] { pingWebSockets(); })) {
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &WebServer::acceptWebSockets);
    connect(&push_, &WebStatePush::push, this, &WebServer::pushState);
    const engine::Engine& engine = parts.engine;
    for (auto signal : {&engine::Engine::turnStarted, &engine::Engine::turnEnded,
                        &engine::Engine::speedChanged, &engine::Engine::stopped})
        connect(&engine, signal, &push_, &WebStatePush::changed);
    connect(&engine, &engine::Engine::counterChanged, &push_, &WebStatePush::moved);
    connect(&engine, &engine::Engine::degreesChanged, &push_, &WebStatePush::moved);
    connect(&engine, &engine::Engine::stepperSwitched, &push_, &WebStatePush::changed);
    connect(&parts.tuning, &tuning::RigTuning::changed, &push_, &WebStatePush::changed);
    connect(&parts.tuning, &tuning::RigTuning::portOpenChanged, &push_, &WebStatePush::changed);
    connect(&api_, &WebApi::tableChanged, &push_, &WebStatePush::changed);
    connect(&parts.vna, &vna::BuildSession::progressed, &push_, &WebStatePush::changed);
}

WebServer::~WebServer() {
    Close();
}

bool WebServer::Listen(const QHostAddress& address, quint16 port, const QString& token,
                       QString* error) {
    Close();
    auto* gate = new ClientGate(platform_, this, this);
    if (!gate->listen(address, port)) {
        if (error)
            *error = gate->errorString();
        delete gate;
        return false;
    }
    bind(gate);
    gate_ = gate;
    address_ = address;
    token_ = token;
    tokenRequired_ = !address.isLoopback();
    pingTimer_->start(PingEveryMs);
    qCInfo(lcWeb) << "web server listens on" << address.toString() << gate->serverPort();
    emit listeningChanged(true);
    return true;
}

void WebServer::Close() {
    api_.DropPendingTurn();
    push_.stop();
    pingTimer_->stop();
    for (Client& client : sockets_) {
        client.socket->disconnect(this);
        client.socket->abort();
    }
    sockets_.clear();
    if (!gate_)
        return;
    gate_->close();
    gate_->abortAll();
    gate_->deleteLater();
    gate_.clear();
    emit listeningChanged(false);
}

bool WebServer::listening() const {
    return gate_ && gate_->isListening();
}

quint16 WebServer::port() const {
    return gate_ ? gate_->serverPort() : 0;
}

int WebServer::clientCount() const {
    return gate_ ? gate_->clientCount() : 0;
}

bool WebServer::hostIsLocal(const QString& host) const {
    const QString name = HostName(host);
    return name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           QHostAddress(name).isLoopback();
}

bool WebServer::tokenMatches(const QByteArray& given) const {
    // Compared in a time that does not tell how much of it was right.
    const QByteArray expected = token_.toUtf8();
    if (expected.isEmpty() || given.size() != expected.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < given.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ expected[i]);
    return difference == 0;
}

std::pair<int, QString> WebServer::refusal(const QHttpServerRequest& request, const QString& peer) {
    const QString host = QString::fromUtf8(request.value("host"));
    if (!tokenRequired_ && !hostIsLocal(host))
        return {403, QStringLiteral("this server answers to localhost only")};
    if (!budget_.take(peer, platform_.steadyMs()))
        return {429, QStringLiteral("too many requests: slow down")};
    if (tokenRequired_ && !tokenMatches(BearerToken(request.value("authorization"))))
        return {401, QStringLiteral("the token is missing or wrong")};
    const QByteArray origin = request.value("origin");
    if (request.method() != QHttpServerRequest::Method::Get && !origin.isEmpty() &&
        QString::fromUtf8(origin) != QStringLiteral("http://") + host)
        return {403, QStringLiteral("a request of another page's origin")};
    if (request.body().size() > RequestSizeGuard::MaxBodyBytes)
        return {413, QStringLiteral("the request's body is over 16 KB")};
    return {0, QString()};
}

bool WebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    // A WebSocket's upgrade is taken when this returns true; acceptWebSockets() looks at it.
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0)
        return true;
    const bool answered = answer(request, socket);
    if (answered)
        closeIfAsked(socket);
    return answered;
}

bool WebServer::answer(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QString path = request.url().path();
    if (!path.startsWith(QLatin1String("/api/")) && path != QLatin1String("/api"))
        return servePage(request, socket);
    if (const auto [status, why] = refusal(request, socket->peerAddress().toString()); status) {
        reply(request, socket, status, {{QStringLiteral("error"), why}});
        return true;
    }
    // Its token came, or none is needed here.
    if (gate_)
        gate_->vouchFor(socket);
    const WebReply answer =
        api_.Handle(MethodName(request.method()), path, request.body(), PeerText(*socket));
    if (!answer.contentType.isEmpty()) {
        // A picture the program drew: shown, never run as a page of this site.
        makeResponder(request, socket)
            .write(answer.content,
                   {{"Content-Type", answer.contentType},
                    {"Cache-Control", "no-store"},
                    {"X-Content-Type-Options", "nosniff"},
                    {"Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'"}},
                   static_cast<QHttpServerResponder::StatusCode>(answer.status));
        return true;
    }
    reply(request, socket, answer.status, answer.body, answer.allow);
    return true;
}

bool WebServer::servePage(const QHttpServerRequest& request, QTcpSocket* socket) {
    const bool head = request.method() == QHttpServerRequest::Method::Head;
    if (request.method() != QHttpServerRequest::Method::Get && !head) {
        reply(request, socket, 405,
              {{QStringLiteral("error"), QStringLiteral("the page is read with GET")}},
              "GET, HEAD");
        return true;
    }
    // The page asks for no token (it asks the user for it); the rest applies.
    if (!tokenRequired_ && !hostIsLocal(QString::fromUtf8(request.value("host")))) {
        reply(request, socket, 403,
              {{QStringLiteral("error"), QStringLiteral("this server answers to localhost only")}});
        return true;
    }
    if (!budget_.take(socket->peerAddress().toString(), platform_.steadyMs())) {
        reply(request, socket, 429,
              {{QStringLiteral("error"), QStringLiteral("too many requests: slow down")}});
        return true;
    }
    const std::optional<PageFile> file = FindPageFile(request.url().path());
    if (!file)
        return false;
    // On this machine a page's request shows the connection belongs; off it only the token does.
    if (!tokenRequired_ && gate_)
        gate_->vouchFor(socket);
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine();
    // Everything from here, nothing inline, and never inside another site's frame.
    responder.writeHeaders({{"Content-Type", file->contentType},
                            {"Content-Length", QByteArray::number(file->content.size())},
                            {"Cache-Control", "no-cache"},
                            {"X-Content-Type-Options", "nosniff"},
                            {"Referrer-Policy", "no-referrer"},
                            {"Content-Security-Policy", PageSecurityPolicy()}});
    // HEAD: the head of what GET answers, without its body.
    responder.writeBody(head ? QByteArray() : file->content);
    return true;
}

void WebServer::closeIfAsked(QTcpSocket* socket) {
    // A client that reads until the connection ends (HTTP/1.0, "Connection: close") has it
    // ended once the answer is written, not when the idle time runs out.
    if (gate_ && !gate_->keepsAlive(socket))
        socket->disconnectFromHost();
}

void WebServer::StateChanged() {
    push_.changed();
}

void WebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    reply(request, socket, 404, {{QStringLiteral("error"), QStringLiteral("no such page")}});
    closeIfAsked(socket);
}

void WebServer::reply(const QHttpServerRequest& request, QTcpSocket* socket, int status,
                      const QJsonObject& body, const QByteArray& allow) {
    const QByteArray json = QJsonDocument(body).toJson(QJsonDocument::Compact);
    const auto code = static_cast<QHttpServerResponder::StatusCode>(status);
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(code);
    // A 405 names what the resource takes.
    if (!allow.isEmpty())
        responder.writeHeader("Allow", allow);
    responder.writeHeaders({{"Content-Type", "application/json"},
                            {"Content-Length", QByteArray::number(json.size())},
                            {"Cache-Control", "no-store"}});
    // An answer to HEAD has no body, or a kept connection would read it as the next answer.
    responder.writeBody(request.method() == QHttpServerRequest::Method::Head ? QByteArray() : json);
}

void WebServer::acceptWebSockets() {
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection();
        const QUrl url = socket->requestUrl();
        const QString host = url.authority();
        const QString origin = socket->origin();
        QString why;
        if (url.path() != QLatin1String("/api/ws"))
            why = QStringLiteral("no WebSocket at ") + url.path();
        else if (!tokenRequired_ && !hostIsLocal(host))
            why = QStringLiteral("this server answers to localhost only");
        else if (!origin.isEmpty() && origin != QStringLiteral("http://") + host)
            why = QStringLiteral("a WebSocket of another page's origin");
        if (!why.isEmpty()) {
            qCInfo(lcWeb).noquote() << "WebSocket refused:" << why;
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated, why);
            socket.release()->deleteLater();
            continue;
        }
        socket->setMaxAllowedIncomingMessageSize(RequestSizeGuard::MaxBodyBytes);
        socket->setMaxAllowedIncomingFrameSize(RequestSizeGuard::MaxBodyBytes);
        QWebSocket* raw = socket.get();
        connect(raw, &QWebSocket::textMessageReceived, this,
                [this, raw](const QString& message) { webSocketMessage(raw, message); });
        connect(raw, &QWebSocket::disconnected, this,
                [this, raw] { dropWebSocket(raw, QString()); });
        connect(raw, &QWebSocket::pong, this, [this, raw] {
            if (Client* answering = client(raw))
                answering->unansweredPings = 0;
        });
        if (gate_)
            gate_->upgraded(raw->peerAddress(), raw->peerPort());
        sockets_.push_back({std::move(socket), false, 0});
        if (!tokenRequired_)
            admit(sockets_.back());
    }
}

WebServer::Client* WebServer::client(QWebSocket* socket) {
    for (Client& client : sockets_) {
        if (client.socket.get() == socket)
            return &client;
    }
    return nullptr;
}

void WebServer::webSocketMessage(QWebSocket* socket, const QString& message) {
    Client* sender = client(socket);
    if (!sender || sender->admitted)
        return; // the client has nothing to say once admitted
    const QJsonObject request = QJsonDocument::fromJson(message.toUtf8()).object();
    if (!tokenMatches(request.value(QStringLiteral("token")).toString().toUtf8())) {
        dropWebSocket(socket, QStringLiteral("the token is missing or wrong"));
        return;
    }
    admit(*sender);
}

void WebServer::admit(Client& client) {
    client.admitted = true;
    if (gate_)
        gate_->vouchFor(client.socket->peerAddress(), client.socket->peerPort());
    push_.start();
    client.socket->sendTextMessage(QString::fromUtf8(push_.current()));
}

void WebServer::pushState(const QByteArray& message) {
    const QString text = QString::fromUtf8(message);
    std::vector<QWebSocket*> slow;
    for (Client& client : sockets_) {
        if (!client.admitted)
            continue;
        if (client.socket->bytesToWrite() > MaxUnsentBytes)
            slow.push_back(client.socket.get());
        else if (client.socket->sendTextMessage(text) > 0)
            client.socket->flush(); // now, not at one more wake for the socket's turn to write
    }
    for (QWebSocket* socket : slow)
        dropWebSocket(socket, QStringLiteral("it does not read what it is sent"));
}

void WebServer::dropWebSocket(QWebSocket* socket, const QString& why) {
    const auto it = std::find_if(sockets_.begin(), sockets_.end(),
                                 [socket](const Client& c) { return c.socket.get() == socket; });
    if (it == sockets_.end())
        return;
    if (!why.isEmpty())
        qCInfo(lcWeb).noquote() << "WebSocket client dropped:" << why;
    std::unique_ptr<QWebSocket> gone = std::move(it->socket);
    sockets_.erase(it);
    gone->disconnect(this);
    gone->abort();
    // Perhaps inside one of its signals: deleted from the event loop.
    gone.release()->deleteLater();
    if (std::none_of(sockets_.begin(), sockets_.end(), [](const Client& c) { return c.admitted; }))
        push_.stop();
}

void WebServer::pingWebSockets() {
    std::vector<QWebSocket*> gone;
    for (Client& client : sockets_) {
        if (!client.admitted)
            continue;
        if (client.unansweredPings >= MissedPingsAllowed) {
            gone.push_back(client.socket.get());
            continue;
        }
        ++client.unansweredPings;
        client.socket->ping();
    }
    for (QWebSocket* socket : gone)
        dropWebSocket(socket, QStringLiteral("it answers no ping"));
}

} // namespace web
