// The rotator server against Hamlib's own client, `rotctl -m 2` (Debian's libhamlib-utils).
#include "station/StationTestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <gtest/gtest.h>

using station_test::Client;

namespace {

struct RotctlRun {
    int exitCode = -1;
    QByteArray out; // its answers, and its reports of errors
};

struct RotctlInteropTest : station_test::ServerFixture {
    void SetUp() override {
        if (QStandardPaths::findExecutable("rotctl").isEmpty())
            GTEST_FAIL() << "rotctl is not installed (Debian package libhamlib-utils; "
                            "scripts/install-deps installs it)";
    }
    std::unique_ptr<QProcess> start(const QStringList& commands) {
        auto process = std::make_unique<QProcess>();
        const QString address = QString("127.0.0.1:%1").arg(server.port());
        process->start("rotctl", QStringList{"-m", "2", "-r", address} + commands);
        return process;
    }
    // Runs to the end while the events, and so the server, are served.
    static RotctlRun finish(QProcess& process) {
        (void)QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput()};
    }
    RotctlRun rotctl(const QStringList& commands) { return finish(*start(commands)); }
};

} // namespace

TEST_F(RotctlInteropTest, setGetStopAndInfo_roundTripAndLimitsAreKept) {
    EXPECT_EQ(rotctl({"P", "90", "0"}).exitCode, 0);
    EXPECT_TRUE(settlesAt(50));
    const RotctlRun position = rotctl({"p"});
    EXPECT_EQ(position.exitCode, 0);
    EXPECT_EQ(position.out, "90.00\n0.00\n");
    EXPECT_TRUE(rotctl({"_"}).out.startsWith("Ventrolo Version 1.24\n"));
    EXPECT_EQ(rotctl({"P", "0", "0", "S", "_"}).exitCode, 0); // over one connection

    // rotctl has the limits from the server and does not send what lies beyond them.
    const RotctlRun beyond = rotctl({"P", "901", "0"});
    EXPECT_NE(beyond.exitCode, 0);
    EXPECT_TRUE(beyond.out.contains("range problem az=901.00")) << beyond.out.toStdString();
    // The server's own refusal reaches the user of rotctl, and nothing moves.
    state.StepsPer360 = 0;
    turns.clear();
    const RotctlRun refused = rotctl({"P", "90", "0"});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.out.contains("Feature not available")) << refused.out.toStdString();
    EXPECT_TRUE(turns.empty());
}

TEST_F(RotctlInteropTest, badLinesAndAFloodThatIsNeverRead_leaveTwoRotctlsServed) {
    Client garbage(server.port());
    garbage.send(QByteArray("\x00\x01\xff garbage\r\n", 13) + QByteArray(100000, 'Z') +
                 "\n+\\bogus\nP 1 2 3\n");
    Client flooding(server.port());
    flooding.send(QByteArray("p\n").repeated(200000));
    const auto first = start({"P", "90", "0"});
    const auto second = start({"p"});
    EXPECT_EQ(finish(*first).exitCode, 0);
    EXPECT_EQ(finish(*second).exitCode, 0);
    EXPECT_TRUE(settlesAt(50));
    EXPECT_EQ(garbage.lines(4), "RPRT -4\nRPRT -1\nRPRT -4\nRPRT -1\n");
    EXPECT_EQ(rotctl({"p"}).out, "90.00\n0.00\n");
    // What waits to go out to the flooding client stays bounded.
    for (const QTcpSocket* socket : server.findChildren<QTcpSocket*>())
        EXPECT_LE(socket->bytesToWrite(), station::RotctldSession::MaxUnsentBytes + 64);
}

TEST_F(RotctlInteropTest, parkMoveAndTheState_reachTheStepperThroughRotctl) {
    // The state rotctl reads when it connects, as it shows it.
    const RotctlRun dump = rotctl({"dump_state"});
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.out, "1\n2\nmin_az=0.000000\nmax_az=900.000000\nmin_el=0.000000\n"
                        "max_el=90.000000\nsouth_zero=0\nrot_type=Az\ndone\n");

    EXPECT_EQ(rotctl({"P", "90", "0", "K"}).exitCode, 0);
    EXPECT_TRUE(settlesAt(state.MinPosition));
    EXPECT_EQ(rotctl({"M", "16", "100"}).exitCode, 0);
    EXPECT_TRUE(settlesAt(state.MaxPosition));
    // The virtual clock outruns rotctl: the stop comes once the stepper is back down.
    EXPECT_EQ(rotctl({"M", "CCW", "-1", "S"}).exitCode, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !turns.back(); }));
    EXPECT_EQ(*std::min_element(positions.begin(), positions.end()), state.MinPosition);

    const RotctlRun up = rotctl({"M", "UP", "50"});
    EXPECT_NE(up.exitCode, 0);
    EXPECT_TRUE(up.out.contains("Feature not available")) << up.out.toStdString();
    transmit.on = true;
    const RotctlRun transmitting = rotctl({"K"});
    EXPECT_NE(transmitting.exitCode, 0);
    EXPECT_FALSE(transmitting.out.isEmpty());
}
