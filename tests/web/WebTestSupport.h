#pragma once

#include "core/ConfigFile.h"
#include "port/SimulatedLpt.h"
#include "station/Station.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace web_test {

// An answer as a raw HTTP client reads it.
struct Answer {
    int status = 0;
    QJsonObject json;
    QByteArray head; // the status line and headers, in lower case
};

// One HTTP/1.1 connection of the test's own thread: what it waits for is read while the events
// (and so the server) are served.
struct Http {
    QTcpSocket socket;
    QByteArray host;
    QByteArray got; // what came and is not yet read as an answer

    // From another address of this machine (127.0.0.2) when from is given: another peer.
    explicit Http(quint16 port, const QHostAddress& from = {})
        : host("127.0.0.1:" + QByteArray::number(port)) {
        if (!from.isNull())
            socket.bind(from);
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        socket.waitForConnected(5000);
    }
    void send(const QByteArray& method, const QByteArray& path, const QByteArray& body = {},
              const std::map<QByteArray, QByteArray>& headers = {}) {
        QByteArray request = method + ' ' + path + " HTTP/1.1\r\n";
        std::map<QByteArray, QByteArray> all = {{"Host", host}};
        if (method == "POST")
            all["Content-Length"] = QByteArray::number(body.size());
        for (const auto& [name, value] : headers)
            all[name] = value;
        for (const auto& [name, value] : all)
            request += name + ": " + value + "\r\n";
        socket.write(request + "\r\n" + body);
        socket.flush();
    }
    // The next whole answer (status 0 when none came in ten seconds or the connection closed).
    Answer read() {
        Answer answer;
        (void)QTest::qWaitFor(
            [&] {
                got += socket.readAll();
                const qsizetype end = got.indexOf("\r\n\r\n");
                if (end < 0)
                    return socket.state() == QAbstractSocket::UnconnectedState;
                const QByteArray head = got.left(end).toLower();
                const qsizetype at = head.indexOf("content-length:");
                const qsizetype length = at < 0
                                             ? 0
                                             : head.mid(at + 15, head.indexOf('\r', at) - at - 15)
                                                   .trimmed()
                                                   .toLongLong();
                if (got.size() < end + 4 + length)
                    return socket.state() == QAbstractSocket::UnconnectedState;
                answer.status = got.mid(9, 3).toInt();
                answer.head = head;
                answer.json = QJsonDocument::fromJson(got.mid(end + 4, length)).object();
                got.remove(0, end + 4 + length);
                return true;
            },
            10000);
        return answer;
    }
    Answer ask(const QByteArray& method, const QByteArray& path, const QByteArray& body = {},
               const std::map<QByteArray, QByteArray>& headers = {}) {
        send(method, path, body, headers);
        return read();
    }
    Answer post(const QByteArray& path, const QByteArray& body = "{}",
                const std::map<QByteArray, QByteArray>& headers = {}) {
        return ask("POST", path, body, headers);
    }
    bool closes() {
        return QTest::qWaitFor([&] { return socket.state() == QTcpSocket::UnconnectedState; });
    }
    // The status of the last answer before the connection ended (0 for none).
    int lastStatus() {
        int last = 0;
        for (int status = read().status; status != 0; status = read().status)
            last = status;
        return last;
    }
};

// A loaded station in dir on the simulated port. Stepper 1 steps every 1 ms within 0..100000
// at 200 steps a turn; the simulated rig is the link, and Table.cat runs from 7000 kHz at step
// 100 to 7200 kHz at step 300.
inline std::unique_ptr<station::Station> MakeStation(const QString& dir,
                                                     platform::Platform& platform) {
    test_support::WriteFile(dir + "/Ventrolo.ini", "[rig]\nlink=simulated\n");
    test_support::WriteFile(dir + "/Table.cat", "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                                                "7000,100,\"\"\r\n7200,300,\"\"\r\n");
    core::ProgramState saved;
    saved.PcSpeed = 1000;
    saved.StoredProfiles[0].CustomDelayMs = 1;
    saved.StoredProfiles[0].MinPosition = 0;
    saved.StoredProfiles[0].MaxPosition = 100000;
    saved.StoredProfiles[0].StepsPer360 = 200;
    saved.StoredProfiles[0].MainShown = false;
    EXPECT_TRUE(core::ConfigFile(saved, platform, dir).SaveConfig());
    auto station =
        std::make_unique<station::Station>(dir, platform, std::make_unique<port::SimulatedLpt>());
    EXPECT_TRUE(station->load());
    station->mainInit().InitMain(false);
    return station;
}

// A station of MakeStation on the virtual clock (events served at every step, as the real
// clock serves them) whose web server listens on a free port of 127.0.0.1.
struct StationFixture : ::testing::Test {
    static constexpr const char* Token = "0123456789abcdef0123456789abcdef";
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    std::unique_ptr<station::Station> station;

    StationFixture() {
        station = MakeStation(dir.path(), platform);
        platform.processQtEvents = true;
        EXPECT_TRUE(station->web().Listen(QHostAddress(QHostAddress::LocalHost), 0, Token));
    }
    core::ProgramState& state() { return station->state(); }
    // Events served for ms of real time, the virtual clock standing still.
    static void serve(int ms) {
        (void)QTest::qWaitFor([] { return false; }, ms);
    }
    quint16 port() { return station->web().port(); }
    // Events are served until the counter stands at value with no turn running.
    bool settlesAt(core::Long value) {
        return QTest::qWaitFor([&] {
            return state().StepCounter == value &&
                   !station->web().api().State().value("turning").toBool();
        });
    }
    // The table open and the simulated rig followed, as the headless station does it.
    void follow(double kHz) {
        ASSERT_TRUE(station->openFollowing());
        ASSERT_TRUE(station->tuning().port().OpenLink(false));
        station->simulatedRig().rig().setFrequency(kHz);
        platform.advance(3000);
    }
};

} // namespace web_test
