#include "station/RotatorServer.h"

#include "station/StationTestSupport.h"
#include "support/LogCapture.h"

#include <QElapsedTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using station::RotatorServer;
using station::RotctldSession;
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
    for (const char* line :
         {"P 901 0\n", "P -1 0\n", "P 10 95\n", "P abc 0\n", "P 10\n", "P 1,000 0\n", "P 90,5 0\n",
          "M 3 50\n", "M 8 0\n", "M 16 101\n", "M 16 50.5\n", "M 16\n", "M sideways 50\n"})
        EXPECT_EQ(client.ask(line), "RPRT -1\n") << line;
    // Up and down: the station turns azimuth only.
    for (const char* line : {"M 2 50\n", "M 4 -1\n", "M UP 10\n", "\\move DOWN 100\n"})
        EXPECT_EQ(client.ask(line), "RPRT -11\n") << line;
    EXPECT_EQ(client.ask("R 1\n"), "RPRT -4\n");
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

TEST_F(RotatorServerTest, move_turnsTowardsItsLimitAtItsSpeed_untilStopOrANewPosition) {
    Client client(server.port());
    core::Long delayMs = 0;
    // Right at speed 100: the fastest delay, until S.
    platform.scheduleAfter(100, [&] {
        delayMs = state.StepDelayMs;
        client.send("+S\n");
    });
    EXPECT_EQ(client.ask("M 16 100\n", 3), "RPRT 0\nstop:\nRPRT 0\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !turns.back(); }));
    EXPECT_EQ(delayMs, state.FastestDelayMs);
    const core::Long stopped = state.StepCounter;
    EXPECT_GT(stopped, 20);
    EXPECT_LT(stopped, 100);
    EXPECT_EQ(state.StepDelayMs, 15); // the delay in force again

    // Left at speed 1: the slowest delay, until a new position.
    platform.scheduleAfter(2500, [&] {
        delayMs = state.StepDelayMs;
        client.send("P 180 0\n");
    });
    EXPECT_EQ(client.ask("+\\move CCW 1\n", 3), "move: CCW 1\nRPRT 0\nRPRT 0\n");
    EXPECT_TRUE(settlesAt(100));
    EXPECT_EQ(delayMs, state.SlowestDelayMs);
    EXPECT_LT(*std::min_element(positions.begin(), positions.end()), stopped);

    // Right as it is set, up to the upper limit and no further.
    EXPECT_EQ(client.ask("M RIGHT -1\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(state.MaxPosition));
    EXPECT_EQ(*std::max_element(positions.begin(), positions.end()), state.MaxPosition);
    EXPECT_EQ(client.ask("p\n", 2), "900.00\n0.00\n");
}

TEST_F(RotatorServerTest, park_turnsToTheLowerLimitOrTheParkAzimuth_neverBeyondTheLimits) {
    Client client(server.port());
    EXPECT_EQ(client.ask("P 90 0\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(50));
    EXPECT_EQ(client.ask("K\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(state.MinPosition));

    server.SetParkAzimuth(180);
    EXPECT_EQ(client.ask("+\\park\n", 2), "park:\nRPRT 0\n");
    EXPECT_TRUE(settlesAt(100));

    turns.clear();
    for (double beyond : {900.9, -1.8, 1e300}) {
        server.SetParkAzimuth(beyond);
        EXPECT_EQ(client.ask("K\n"), "RPRT -1\n") << beyond;
    }
    state.StepsPer360 = 0; // no degree scale: no azimuth to park at
    EXPECT_EQ(client.ask("K\n"), "RPRT -11\n");
    QTest::qWait(10);
    EXPECT_TRUE(turns.empty());
    EXPECT_EQ(state.StepCounter, 100);
}

TEST_F(RotatorServerTest, whileTheRigTransmits_positionParkAndMoveAreRefusedAndNothingTurns) {
    Client client(server.port());
    transmit.on = true;
    EXPECT_EQ(client.ask("P 90 0\nK\nM 16 50\n+M 8 -1\n", 5),
              "RPRT -9\nRPRT -9\nRPRT -9\nmove: 8 -1\nRPRT -9\n");
    EXPECT_EQ(client.ask("p\n", 2), "0.00\n0.00\n");
    QTest::qWait(10);
    EXPECT_TRUE(turns.empty());
    transmit.on = false;
    EXPECT_EQ(client.ask("K\n"), "RPRT 0\n");
}

TEST_F(RotatorServerTest, refusalsAtTheDoor_endAsTurnsDoWithTheirCommand) {
    std::vector<engine::TurnRecord> records;
    QObject::connect(&engine, &engine::Engine::turnFinished,
                     [&](const engine::TurnRecord& record) { records.push_back(record); });
    Client client(server.port());
    transmit.on = true;
    EXPECT_EQ(client.ask("P 90 0\n"), "RPRT -9\n");
    EXPECT_EQ(client.ask("P 901 0\n"), "RPRT -1\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].detail, "rotctld P 901");
    EXPECT_EQ(records[1].refusal->why, engine::TurnRefusal::Why::BeyondLimits);
    EXPECT_EQ(records[0].end, engine::TurnRecord::End::Refused);
    EXPECT_EQ(records[0].detail, "rotctld P 90");
    EXPECT_EQ(records[0].refusal->text, "the rig transmits");
    EXPECT_EQ(records[0].steps, 0);

    // A port whose device failed is an I/O error, not a success with no turn behind it.
    transmit.on = false;
    watchedLpt.failWriteAt = 1;
    engine.TurnTo({5, engine::TurnOrigin::Window});
    EXPECT_EQ(client.ask("P 90 0\n"), "RPRT -6\n");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[3].refusal->why, engine::TurnRefusal::Why::OutputUnable);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(RotatorServerTest, getStatus_saysMovingAndItsDirection_busyWhileSettling_blankWhenSettled) {
    engine::MotionWatch motion(engine, state, platform);
    motion.setSettleMs({400, 400});
    server.setMotion(&motion);
    Client client(server.port());
    EXPECT_EQ(client.ask("s\n"), "\n");
    EXPECT_EQ(client.ask("+\\get_status\n", 3), "get_status:\nStatus flags: \nRPRT 0\n");
    platform.scheduleAt(100, [&] { client.send("s\n"); });
    EXPECT_EQ(client.ask("P 90 0\n", 2), "RPRT 0\nMOVING MOVING_AZ MOVING_RIGHT\n");
    EXPECT_TRUE(settlesAt(50));
    EXPECT_EQ(client.ask("s\n"), "BUSY\n");
    platform.advance(400);
    EXPECT_EQ(client.ask("s\n"), "\n");
    platform.scheduleAfter(100, [&] { client.send(";s\n"); });
    EXPECT_EQ(client.ask("P 0 0\n", 2),
              "RPRT 0\nget_status:;Status flags: MOVING MOVING_AZ MOVING_LEFT;RPRT 0\n");
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

TEST_F(RotatorServerTest, aBatchOfRequestsLargerThanTheReadBuffer_isAnsweredWhole) {
    Client client(server.port());
    // More than the read buffer holds, a line cut at its edge.
    const QByteArray batch = '\n' + QByteArray("_\n").repeated(RotctldSession::MaxReadBytes / 2);
    const int lines = int(batch.count('\n')) - 1;
    EXPECT_EQ(client.ask(batch, lines).count("Ventrolo Version 1.24\n"), lines);
    EXPECT_EQ(client.ask("p\n", 2), "0.00\n0.00\n");
}

TEST_F(RotatorServerTest, clientsBeyondTheLimitAreRefusedAndClosingEndsEveryConnection) {
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i <= RotatorServer::MaxClients; ++i)
        clients.push_back(std::make_unique<Client>(server.port()));
    EXPECT_TRUE(clients.back()->closes());
    EXPECT_EQ(server.clientCount(), RotatorServer::MaxClients);

    RotatorServer other(state, engine, networkTurns, platform);
    QString error;
    EXPECT_FALSE(other.Listen(QHostAddress(QHostAddress::LocalHost), server.port(), &error));
    EXPECT_FALSE(error.isEmpty()); // the port is taken

    server.Close();
    EXPECT_FALSE(server.listening());
    EXPECT_TRUE(clients.front()->closes());
}

// A program that keeps connecting to a full server fills no log: the refusals of a burst are
// one line.
TEST_F(RotatorServerTest, aBurstOfRefusedClients_isOneLineOfTheLog) {
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < RotatorServer::MaxClients; ++i)
        clients.push_back(std::make_unique<Client>(server.port()));
    test_support::LogCapture log;
    for (int i = 0; i < 20; ++i) {
        Client refused(server.port());
        EXPECT_TRUE(refused.closes());
    }
    EXPECT_EQ(log.with("refused").size(), 1) << log.text().toStdString();
    EXPECT_EQ(server.clientCount(), RotatorServer::MaxClients);
}

namespace {

// A client that misbehaves on a socket of its own: it sends what it is told and reads nothing;
// its receive buffer is small, so the replies it leaves unread soon fill the server's.
struct BadClient {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);

    explicit BadClient(quint16 port) {
        const int small = 4096;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    ~BadClient() { close(); }
    void send(const QByteArray& bytes) { (void)::send(fd, bytes.constData(), bytes.size(), 0); }
    // Sends requests until nothing more goes out: the server has stopped reading it.
    void flood() {
        const QByteArray lines = QByteArray("\\dump_state\n").repeated(1000);
        (void)QTest::qWaitFor(
            [&] {
                for (int i = 0; i < 50; ++i) {
                    if (::send(fd, lines.constData(), lines.size(), MSG_NOSIGNAL) < 0)
                        return errno != EAGAIN ||
                               !QTest::qWaitFor(
                                   [&] {
                                       return ::send(fd, lines.constData(), 1, MSG_NOSIGNAL) > 0;
                                   },
                                   100);
                }
                return false;
            },
            30000);
    }
    // Sends requests for ms of real time as fast as they go out, the server served meanwhile.
    void floodFor(int ms) {
        const QByteArray lines = QByteArray("\\dump_state\n").repeated(1000);
        QElapsedTimer sending;
        sending.start();
        while (sending.elapsed() < ms) {
            if (::send(fd, lines.constData(), lines.size(), MSG_NOSIGNAL) < 0 && errno != EAGAIN)
                return;
            QTest::qWait(1);
        }
    }
    void close() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

} // namespace

TEST_F(RotatorServerTest, clientsThatFloodWithoutReadingAndClose_leaveTheirSlots) {
    for (int i = 0; i < RotatorServer::MaxClients + 4; ++i) {
        BadClient flooder(server.port());
        flooder.floodFor(250);
    } // closed with its replies unread
    platform.advance(RotatorServer::CheckEveryMs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }));
    Client good(server.port());
    EXPECT_EQ(good.ask("p\n", 2), "0.00\n0.00\n");
}

TEST_F(RotatorServerTest, withoutClientsNothingIsChecked_theFirstClientStartsTheChecks) {
    platform.advance(RotatorServer::CheckEveryMs);
    EXPECT_EQ(platform.pendingCallbacks(), 0u); // a station waiting for a client does not wake
    {
        Client client(server.port());
        EXPECT_EQ(client.ask("p\n", 2), "0.00\n0.00\n");
        EXPECT_GT(platform.pendingCallbacks(), 0u);
        client.send("q\n");
        EXPECT_TRUE(client.closes());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }));
    platform.advance(RotatorServer::CheckEveryMs);
    EXPECT_EQ(platform.pendingCallbacks(), 0u);
}

TEST_F(RotatorServerTest, twentyBadClients_slowNobodyElseDown) {
    std::vector<std::unique_ptr<BadClient>> bad;
    for (int i = 0; i < 20; ++i) {
        bad.push_back(std::make_unique<BadClient>(server.port()));
        if (i % 4 == 1)
            bad.back()->send("p"); // the first byte of a line that never ends
        if (i % 4 == 2)
            bad.back()->flood(); // and never reads
    }
    QTest::qWait(100);
    EXPECT_EQ(server.clientCount(), RotatorServer::MaxClients);
    // One byte a second from the tricklers, for a while.
    for (int second = 0; second < 11; ++second) {
        for (std::size_t i = 1; i < bad.size(); i += 4)
            bad[i]->send(" ");
        platform.advance(1000);
        QTest::qWait(5);
    }
    // A good client is served at once, however long the others stay.
    Client good(server.port());
    ASSERT_EQ(good.socket.state(), QTcpSocket::ConnectedState);
    EXPECT_EQ(good.ask("P 90 0\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(50));
    EXPECT_EQ(good.ask("p\n", 2), "90.00\n0.00\n");

    // The flooders are dropped once they have not read for 30 s, the idle ones after 5 minutes.
    platform.advance(RotctldSession::UnreadMs + RotatorServer::CheckEveryMs);
    QTest::qWait(50);
    EXPECT_LT(server.clientCount(), RotatorServer::MaxClients);
    for (int minute = 0; minute < 5; ++minute) {
        EXPECT_EQ(good.ask("p\n", 2), "90.00\n0.00\n");
        platform.advance(60 * 1000);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 1; }));
    EXPECT_EQ(good.ask("p\n", 2), "90.00\n0.00\n");
}

// Some clients close right after their last line (a tracker that connects for each position,
// `echo ... | nc -q0`): every line they sent still acts.
TEST_F(RotatorServerTest, aClientThatClosesRightAfterItsLines_hasEveryLineServed) {
    BadClient oneShot(server.port());
    oneShot.send(QByteArray("P 180 0\n").repeated(3 * RotctldSession::MaxLinesPerPass) +
                 "P 36 0\n");
    oneShot.close();
    EXPECT_TRUE(settlesAt(20));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }));
}

// A script that sends its lines and its end together and then reads (`socat`, `nc -N`): the
// replies to those lines still reach it before the connection ends.
TEST_F(RotatorServerTest, aClientThatEndsItsInputAndReads_getsTheRepliesToItsLines) {
    for (int round = 0; round < 10; ++round) {
        BadClient script(server.port());
        script.send("p\n+\\get_pos\nP 1.8 0\n");
        ASSERT_EQ(::shutdown(script.fd, SHUT_WR), 0);
        QByteArray got;
        char buffer[256];
        (void)QTest::qWaitFor(
            [&] {
                const ssize_t n = ::recv(script.fd, buffer, sizeof buffer, 0);
                if (n > 0)
                    got.append(buffer, n);
                return n == 0 || (n < 0 && errno != EAGAIN);
            },
            5000);
        EXPECT_EQ(got, "0.00\n0.00\nget_pos:\nAzimuth: 0.00\nElevation: 0.00\nRPRT 0\nRPRT 0\n")
            << "round " << round;
        EXPECT_TRUE(settlesAt(1));
        state.StepCounter = 0;
    }
}
