#pragma once

#include "engine/EngineFixture.h"
#include "station/RotatorServer.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
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
    bool closes() {
        return QTest::qWaitFor([&] { return socket.state() == QTcpSocket::UnconnectedState; });
    }
};

// A directory of the test's own, its files read and written by name.
struct Dir : QTemporaryDir {
    QByteArray file(const QString& name) const { return test_support::ReadFile(filePath(name)); }
    void write(const QString& name, const QByteArray& contents, int secondsAgo = 0) {
        test_support::WriteFile(filePath(name), contents, secondsAgo);
    }
    // The journal's copies gone, as before a first start.
    void removeJournal() const {
        QFile::remove(filePath("Ventrolo.journal.1"));
        QFile::remove(filePath("Ventrolo.journal.2"));
    }
};

// A port of 127.0.0.1 that nothing listens on just now.
inline quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.serverPort();
}

// The rotator server on a free port with the engine of the fixture; the virtual clock serves the
// sockets at every step, as the real one does.
struct ServerFixture : engine_test::EngineFixture {
    engine::NetworkTurns networkTurns{engine};
    station::RotatorServer server{state, engine, networkTurns, platform};

    ServerFixture() {
        platform.processQtEvents = true;
        EXPECT_TRUE(server.Listen(QHostAddress(QHostAddress::LocalHost), 0));
    }
    // Events are served until the counter stands at value with no turn running.
    bool settlesAt(core::Long value) {
        return QTest::qWaitFor(
            [&] { return state.StepCounter == value && (turns.empty() || !turns.back()); });
    }
};

} // namespace station_test
