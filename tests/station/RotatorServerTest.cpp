#include "station/RotatorServer.h"

#include "engine/EngineFixture.h"
#include "station/StationTestSupport.h"

#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using station::RotatorServer;
using station_test::Client;

namespace {

// The server on a free port of 127.0.0.1 with the engine of the fixture (stepper 1 at 0,
// limits 0..500, 200 steps per turn: 1.8 degrees a step, 15 ms a step). The virtual clock
// serves the sockets at every step, as the real one does.
struct RotatorServerTest : engine_test::EngineFixture {
    RotatorServer server{state, engine};

    RotatorServerTest() {
        platform.processQtEvents = true;
        EXPECT_TRUE(server.Listen(QHostAddress(QHostAddress::LocalHost), 0));
    }
    quint16 port() const { return server.port(); }
    // Events are served until the counter stands at value with no turn running.
    bool settlesAt(core::Long value) {
        return QTest::qWaitFor(
            [&] { return state.StepCounter == value && (turns.empty() || !turns.back()); });
    }
};

} // namespace

TEST_F(RotatorServerTest, setPosition_answersAndTurnsToTheAzimuth) {
    Client client(port());
    EXPECT_EQ(client.ask("P 90.000000 0.000000\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(50));
    EXPECT_EQ(client.ask("p\n", 2), "90.00\n0.00\n");
    EXPECT_EQ(client.ask("+\\get_pos\n", 4), "get_pos:\nAzimuth: 90.00\nElevation: 0.00\nRPRT 0\n");
    EXPECT_EQ(client.ask("_\n"), "Ventrolo Version 1.24\n");
    EXPECT_EQ(client.ask("\\dump_state\n", 9),
              "1\n2\nmin_az=0.000000\nmax_az=900.000000\nmin_el=0.000000\nmax_el=90.000000\n"
              "south_zero=0\nrot_type=Az\ndone\n");
}

TEST_F(RotatorServerTest, badLines_getAnErrorAndNothingMoves) {
    Client client(port());
    EXPECT_EQ(client.ask("P 901 0\n"), "RPRT -1\n"); // beyond MaxPosition (900 degrees)
    EXPECT_EQ(client.ask("P -1 0\n"), "RPRT -1\n");
    EXPECT_EQ(client.ask("P 10 95\n"), "RPRT -1\n");
    EXPECT_EQ(client.ask("P abc 0\n"), "RPRT -1\n");
    EXPECT_EQ(client.ask("P 10\n"), "RPRT -1\n");
    EXPECT_EQ(client.ask("K\n"), "RPRT -4\n");
    EXPECT_EQ(client.ask(QByteArray(5000, 'P') + '\n'), "RPRT -1\n"); // answered once
    EXPECT_EQ(client.ask("\n\np\n", 2), "0.00\n0.00\n");
    state.StepsPer360 = 0; // no degree scale: no azimuth
    EXPECT_EQ(client.ask("P 90 0\n"), "RPRT -11\n");
    QTest::qWait(10);
    EXPECT_TRUE(turns.empty());
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(RotatorServerTest, setPositionDuringATurn_endsItAndTurnsToTheNewTarget) {
    Client first(port());
    Client second(port());
    // 100 ms into the turn to 500, another client asks for 18 degrees (step 10).
    platform.scheduleAt(100, [&] { second.send("P 18 0\n"); });
    EXPECT_EQ(first.ask("P 900 0\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(10));
    EXPECT_EQ(second.lines(1), "RPRT 0\n");
    EXPECT_LT(*std::max_element(counters.begin(), counters.end()), 20);
}

TEST_F(RotatorServerTest, stopDuringATurn_stopsWhereTheStepperIs) {
    Client client(port());
    platform.scheduleAt(100, [&] { client.send("S\n"); });
    EXPECT_EQ(client.ask("P 900 0\n", 2), "RPRT 0\nRPRT 0\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !turns.empty() && !turns.back(); }));
    EXPECT_GT(state.StepCounter, 0);
    EXPECT_LT(state.StepCounter, 20);
    EXPECT_EQ(state.TargetPosition, state.StepCounter);
}

TEST_F(RotatorServerTest, aFloodOfTargetsDuringATurn_endsAtTheLastOne) {
    Client client(port());
    QByteArray flood;
    for (int i = 0; i < 1000; ++i)
        flood += i % 2 ? "P 36 0\n" : "P 180 0\n";
    flood += "P 54 0\n";
    platform.scheduleAt(100, [&] { client.send(flood); });
    client.send("P 900 0\n");
    EXPECT_EQ(client.lines(1002).count("RPRT 0\n"), 1002);
    EXPECT_TRUE(settlesAt(30));
}

TEST_F(RotatorServerTest, aClientGoneMidTurn_leavesTheTurnToEndAndNothingBehind) {
    Client client(port());
    platform.scheduleAt(100, [&] { client.socket.abort(); });
    client.send("P 90 0\n");
    EXPECT_TRUE(settlesAt(50));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }));
}

TEST_F(RotatorServerTest, aClientThatFloodsAndNeverReads_cannotStarveTheOthers) {
    Client flooding(port());
    flooding.send(QByteArray(256 * 1024, 'x') + QByteArray("p\n").repeated(100000));
    Client other(port());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(other.ask("p\n", 2), "0.00\n0.00\n");
    // What waits to go out to the flooding client stays bounded.
    for (const QTcpSocket* socket : server.findChildren<QTcpSocket*>())
        EXPECT_LE(socket->bytesToWrite(), station::RotctldSession::MaxUnsentBytes + 64);
}

TEST_F(RotatorServerTest, severalClients_eachGetTheirOwnAnswersInOrder) {
    Client a(port());
    Client b(port());
    a.send("p\n_\n");
    b.send("+S\n");
    EXPECT_EQ(b.lines(2), "stop:\nRPRT 0\n");
    EXPECT_EQ(a.lines(3), "0.00\n0.00\nVentrolo Version 1.24\n");
    a.send("q\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return a.socket.state() == QTcpSocket::UnconnectedState; }));
    EXPECT_EQ(b.ask("p\n", 2), "0.00\n0.00\n");
}

TEST_F(RotatorServerTest, clientsBeyondTheLimit_areRefused) {
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < RotatorServer::MaxClients; ++i)
        clients.push_back(std::make_unique<Client>(port()));
    Client refused(port());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return refused.socket.state() == QTcpSocket::UnconnectedState; }));
    EXPECT_EQ(server.clientCount(), RotatorServer::MaxClients);
    EXPECT_EQ(clients.front()->ask("p\n", 2), "0.00\n0.00\n");
}

TEST_F(RotatorServerTest, closing_endsEveryConnectionAndATakenPortSaysWhy) {
    Client client(port());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 1; }));
    RotatorServer other(state, engine);
    QString error;
    EXPECT_FALSE(other.Listen(QHostAddress(QHostAddress::LocalHost), port(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(other.listening());

    server.Close();
    EXPECT_FALSE(server.listening());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return client.socket.state() == QTcpSocket::UnconnectedState; }));
}
