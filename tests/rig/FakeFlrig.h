#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <functional>

namespace rig_test {

// A stand-in flrig on a localhost port: an HTTP server that takes POSTs of XML-RPC calls,
// records each as "method param" ("rig.set_vfo 7100500.0") and answers with the bytes that
// answer(method) gives, status line and all (nothing: silence). Connections are kept alive. It
// can drop its clients, stop listening and listen again on the same port.
class FakeFlrig {
public:
    std::function<QByteArray(const QByteArray&)> answer = [](const QByteArray&) {
        return Http(Value("<i4>0</i4>"));
    };
    QList<QByteArray> calls;
    QList<QByteArray> bodies;

    // An HTTP answer carrying xml.
    static QByteArray Http(const QByteArray& xml) {
        return "HTTP/1.1 200 OK\r\nServer: XMLRPC++ 0.8\r\nContent-Type: text/xml\r\n"
               "Content-length: " +
               QByteArray::number(xml.size()) + "\r\n\r\n" + xml;
    }
    // A method response of one value, as flrig lays it out.
    static QByteArray Value(const QByteArray& value) {
        return "<?xml version=\"1.0\"?>\r\n<methodResponse><params><param>\r\n\t<value>" + value +
               "</value>\r\n</param></params></methodResponse>\r\n";
    }

    FakeFlrig() { listen(0); }
    quint16 port() const { return port_; }

    bool listen(quint16 port) {
        if (!server_.listen(QHostAddress::LocalHost, port))
            return false;
        port_ = server_.serverPort();
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection()) {
                clients_ << client;
                QObject::connect(client, &QTcpSocket::readyRead, client,
                                 [this, client] { serve(client); });
            }
        });
        return true;
    }
    void dropClients() {
        for (const QPointer<QTcpSocket>& client : clients_)
            if (client)
                client->abort();
        clients_.clear();
    }
    void stop() {
        server_.close();
        QObject::disconnect(&server_, nullptr, nullptr, nullptr);
        dropClients();
    }
    // Whether the call came, waiting for it as long as a test may.
    bool received(const QByteArray& call) {
        return QTest::qWaitFor([&] { return calls.contains(call); }, 5000);
    }

private:
    void serve(QTcpSocket* client) {
        QByteArray& pending = pending_[client];
        pending += client->readAll();
        for (;;) {
            const qsizetype headerEnd = pending.indexOf("\r\n\r\n");
            if (headerEnd < 0)
                return;
            static const QRegularExpression lengthPattern(
                QStringLiteral("content-length:\\s*(\\d+)"),
                QRegularExpression::CaseInsensitiveOption);
            const auto length = lengthPattern.match(QString::fromLatin1(pending.left(headerEnd)));
            const qsizetype bodyLength = length.hasMatch() ? length.captured(1).toLongLong() : 0;
            if (pending.size() < headerEnd + 4 + bodyLength)
                return;
            const QByteArray body = pending.mid(headerEnd + 4, bodyLength);
            pending.remove(0, headerEnd + 4 + bodyLength);
            static const QRegularExpression methodPattern(
                QStringLiteral("<methodName>(.*)</methodName>"));
            static const QRegularExpression paramPattern(
                QStringLiteral("<param><value><\\w+>([^<]*)<"));
            const QString text = QString::fromUtf8(body);
            const QByteArray method = methodPattern.match(text).captured(1).toUtf8();
            const auto param = paramPattern.match(text);
            bodies << body;
            calls << (param.hasMatch() ? method + ' ' + param.captured(1).toUtf8() : method);
            client->write(answer(method));
        }
    }

    QTcpServer server_;
    QList<QPointer<QTcpSocket>> clients_;
    QHash<QTcpSocket*, QByteArray> pending_;
    quint16 port_ = 0;
};

} // namespace rig_test
