#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace station_test {

// A rotctld client in the test's own thread: what it waits for is read while the events (and so
// the server) are served.
struct Client {
    QTcpSocket socket;

    explicit Client(quint16 port) {
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        socket.waitForConnected(5000);
    }
    void send(const QByteArray& bytes) {
        socket.write(bytes);
        socket.flush();
    }
    // What came until count lines had come (or ten seconds passed).
    QByteArray lines(int count) {
        QByteArray got;
        (void)QTest::qWaitFor(
            [&] {
                got += socket.readAll();
                return got.count('\n') >= count;
            },
            10000);
        return got;
    }
    QByteArray ask(const QByteArray& line, int count = 1) {
        send(line);
        return lines(count);
    }
};

// A port of 127.0.0.1 that nothing listens on just now.
inline quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.serverPort();
}

} // namespace station_test
