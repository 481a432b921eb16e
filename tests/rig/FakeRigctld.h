#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <functional>

namespace rig_test {

// A stand-in rigctld on a localhost port: every line a client sends is recorded and answered
// with what reply(line) gives (nothing: silence). It can drop its clients, stop listening and
// listen again on the same port.
class FakeRigctld {
public:
    std::function<QByteArray(const QByteArray&)> reply = [](const QByteArray&) {
        return QByteArray("RPRT 0\n");
    };
    QList<QByteArray> lines;
    int connections = 0;

    FakeRigctld() { listen(0); }
    quint16 port() const { return port_; }

    bool listen(quint16 port) {
        if (!server_.listen(QHostAddress::LocalHost, port))
            return false;
        port_ = server_.serverPort();
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection()) {
                ++connections;
                clients_ << client;
                QObject::connect(client, &QTcpSocket::readyRead, client, [this, client] {
                    while (client->canReadLine()) {
                        const QByteArray line = client->readLine().trimmed();
                        lines << line;
                        client->write(reply(line));
                    }
                });
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
    // Whether the line came, waiting for it as long as a test may.
    bool received(const QByteArray& line) {
        return QTest::qWaitFor([&] { return lines.contains(line); }, 5000);
    }

private:
    QTcpServer server_;
    QList<QPointer<QTcpSocket>> clients_;
    quint16 port_ = 0;
};

} // namespace rig_test
