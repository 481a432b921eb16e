#include "web/ClientGate.h"

#include "web/RequestSizeGuard.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <algorithm>
#include <memory>

namespace web {

void RefuseConnection(QTcpSocket* socket, int status, const QByteArray& reason,
                      const QString& message) {
    const QByteArray body =
        QJsonDocument(QJsonObject{{QStringLiteral("error"), message}}).toJson(QJsonDocument::Compact);
    socket->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
                  "\r\nContent-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

ClientGate::ClientGate(int maxClients, QObject* socketOwner, QObject* parent)
    : QTcpServer(parent), maxClients_(maxClients), socketOwner_(socketOwner) {}

int ClientGate::clientCount() const {
    return int(std::count_if(clients_.begin(), clients_.end(), [](const QPointer<QTcpSocket>& s) {
        return s && s->state() != QAbstractSocket::UnconnectedState;
    }));
}

void ClientGate::abortAll() {
    for (const QPointer<QTcpSocket>& socket : QList(clients_)) {
        if (socket)
            socket->abort();
    }
}

void ClientGate::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(socketOwner_);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    clients_.removeIf([](const QPointer<QTcpSocket>& s) {
        return !s || s->state() == QAbstractSocket::UnconnectedState;
    });
    if (clientCount() >= maxClients_) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        RefuseConnection(socket, 503, "Service Unavailable",
                         QStringLiteral("more than %1 clients").arg(maxClients_));
        return;
    }
    clients_.append(socket);
    watch(socket);
    // The HTTP server connects to readyRead after this: the size is looked at first.
    addPendingConnection(socket);
}

void ClientGate::watch(QTcpSocket* socket) {
    auto guard = std::make_shared<RequestSizeGuard>();
    connect(socket, &QTcpSocket::readyRead, this, [socket, guard] {
        using Verdict = RequestSizeGuard::Verdict;
        if (!socket->isOpen())
            return;
        if (socket->state() != QAbstractSocket::ConnectedState) {
            (void)socket->readAll();
            return;
        }
        // The HTTP server reads everything each time: what is available is new.
        switch (guard->feed(socket->peek(socket->bytesAvailable()))) {
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
        }
    });
}

} // namespace web
