#include "station/RotatorServer.h"

#include "station/StationTestSupport.h"

#include <gtest/gtest.h>

using station::RotatorServer;
using station_test::Client;

// Stepper 1 at 0, limits 0..500, 1.8 degrees and 15 ms a step.
using RotatorServerTest = station_test::ServerFixture;

TEST_F(RotatorServerTest, setPosition_answersThenTurnsToTheAzimuth) {
    Client client(server.port());
    EXPECT_EQ(client.ask("P 90.000000 0.000000\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(50));
    EXPECT_EQ(client.ask("p\n", 2), "90.00\n0.00\n");
    EXPECT_EQ(client.ask("+\\get_pos\n", 4), "get_pos:\nAzimuth: 90.00\nElevation: 0.00\nRPRT 0\n");
}

TEST_F(RotatorServerTest, badLines_getAnErrorAndNothingMoves) {
    Client client(server.port());
    for (const char* line : {"P 901 0\n", "P -1 0\n", "P 10 95\n", "P abc 0\n", "P 10\n"})
        EXPECT_EQ(client.ask(line), "RPRT -1\n") << line;
    EXPECT_EQ(client.ask("K\n"), "RPRT -4\n");
    EXPECT_EQ(client.ask(QByteArray(5000, 'P') + '\n'), "RPRT -1\n"); // answered once
    EXPECT_EQ(client.ask("\n\np\n", 2), "0.00\n0.00\n");
    state.StepsPer360 = 0; // no degree scale: no azimuth
    EXPECT_EQ(client.ask("P 90 0\n"), "RPRT -11\n");
    EXPECT_EQ(client.ask("p\n"), "RPRT -11\n");
    QTest::qWait(10);
    EXPECT_TRUE(turns.empty());
}

TEST_F(RotatorServerTest, stopDuringATurn_stopsWhereTheStepperIs) {
    Client client(server.port());
    platform.scheduleAt(100, [&] { client.send("+S\n"); });
    EXPECT_EQ(client.ask("P 900 0\n", 3), "RPRT 0\nstop:\nRPRT 0\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !turns.back(); }));
    EXPECT_GT(state.StepCounter, 0);
    EXPECT_LT(state.StepCounter, 20);
}

TEST_F(RotatorServerTest, aFloodOfTargetsDuringATurn_endsAtTheLastOne) {
    Client client(server.port());
    platform.scheduleAt(100, [&] { client.send(QByteArray("P 180 0\nP 36 0\n").repeated(500)); });
    client.send("P 900 0\n");
    EXPECT_EQ(client.lines(1001).count("RPRT 0\n"), 1001);
    EXPECT_TRUE(settlesAt(20));
}

TEST_F(RotatorServerTest, aClientGoneMidTurn_leavesTheTurnToEndAndNothingBehind) {
    Client client(server.port());
    platform.scheduleAt(100, [&] { client.socket.abort(); });
    client.send("P 90 0\n");
    EXPECT_TRUE(settlesAt(50));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }));
}

TEST_F(RotatorServerTest, clientsBeyondTheLimitAreRefusedAndClosingEndsEveryConnection) {
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i <= RotatorServer::MaxClients; ++i)
        clients.push_back(std::make_unique<Client>(server.port()));
    EXPECT_TRUE(clients.back()->closes());
    EXPECT_EQ(server.clientCount(), RotatorServer::MaxClients);

    RotatorServer other(state, engine);
    QString error;
    EXPECT_FALSE(other.Listen(QHostAddress(QHostAddress::LocalHost), server.port(), &error));
    EXPECT_FALSE(error.isEmpty()); // the port is taken

    server.Close();
    EXPECT_FALSE(server.listening());
    EXPECT_TRUE(clients.front()->closes());
}
