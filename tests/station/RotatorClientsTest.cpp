// The sessions of the programs that use the rotator server, line for line as they send them.
#include "station/StationTestSupport.h"

#include <gtest/gtest.h>

using station_test::Client;

// Stepper 1 at 0, limits 0..500 (0..900 degrees), 1.8 degrees and 15 ms a step.
using RotatorClientsTest = station_test::ServerFixture;

namespace {

// Asks p until the stepper stands at the azimuth it answers, as a tracker's update cycle does.
bool PollsUntil(Client& client, const QByteArray& position) {
    return QTest::qWaitFor([&] { return client.ask("p\n", 2) == position; });
}

} // namespace

// gpredict's rotator control: p and, when the target has moved on, P with two decimals at every
// update, q when the user disengages.
TEST_F(RotatorClientsTest, gpredict_pollsSetsAndQuits) {
    Client gpredict(server.port());
    EXPECT_EQ(gpredict.ask("p\n", 2), "0.00\n0.00\n");
    EXPECT_EQ(gpredict.ask("P 90.00 12.40\n"), "RPRT 0\n");
    EXPECT_TRUE(PollsUntil(gpredict, "90.00\n0.00\n"));
    EXPECT_EQ(gpredict.ask("P 91.80 14.75\n"), "RPRT 0\n");
    EXPECT_TRUE(PollsUntil(gpredict, "91.80\n0.00\n"));
    gpredict.send("q\n");
    EXPECT_TRUE(gpredict.closes());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }));
}

// Hamlib's NET rotctl backend (rotator model 2), as QLog and KLog drive it through the library:
// the state when the rotator is opened, then positions, stops and parks; q when it is closed.
TEST_F(RotatorClientsTest, hamlibNetRotctl_readsTheStateThenTurnsStopsAndParks) {
    Client logger(server.port());
    EXPECT_EQ(logger.ask("\\dump_state\n", 9),
              "1\n2\nmin_az=0.000000\nmax_az=900.000000\nmin_el=0.000000\nmax_el=90.000000\n"
              "south_zero=0\nrot_type=Az\ndone\n");
    EXPECT_EQ(logger.ask("P 180.000000 0.000000\n"), "RPRT 0\n");
    EXPECT_EQ(logger.ask("S\n"), "RPRT 0\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return turns.empty() || !turns.back(); }));
    EXPECT_EQ(logger.ask("K\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(state.MinPosition));
    EXPECT_EQ(logger.ask("p\n", 2), "0.00\n0.00\n");
    logger.send("q\n");
    EXPECT_TRUE(logger.closes());
}

// rotctl's raw command ("w p") sends its line with a carriage return alone and waits for the
// answer; a "\r\n" line is answered once.
TEST_F(RotatorClientsTest, hamlibRotctl_rawCommandEndedByACarriageReturnIsAnswered) {
    Client rotctl(server.port());
    EXPECT_EQ(rotctl.ask("p\r", 2), "0.00\n0.00\n");
    EXPECT_EQ(rotctl.ask("P 90 0\r"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(50));
    EXPECT_EQ(rotctl.ask("P 180 0\r\n"), "RPRT 0\n");
    EXPECT_TRUE(settlesAt(100));
    EXPECT_EQ(rotctl.ask("p\r\n", 2), "180.00\n0.00\n");
    EXPECT_EQ(rotctl.ask("S\r\n"), "RPRT 0\n");
}

// CQRLOG reads the limits from the extended state (blanks taken out, ':' read as '='), polls
// +p every half second and sends "P az 0".
TEST_F(RotatorClientsTest, cqrlog_readsTheExtendedStateAndPollsExtendedPositions) {
    Client cqrlog(server.port());
    const QByteArray state = cqrlog.ask("+\\dump_state\n\n", 11);
    EXPECT_TRUE(state.startsWith("dump_state:\n")) << state.toStdString();
    EXPECT_TRUE(state.contains("\nMinimum Azimuth: 0.000000\n")) << state.toStdString();
    EXPECT_TRUE(state.contains("\nMaximum Azimuth: 900.000000\n")) << state.toStdString();
    EXPECT_TRUE(state.endsWith("\nRPRT 0\n")) << state.toStdString();
    EXPECT_EQ(cqrlog.ask("+p\n", 4), "get_pos:\nAzimuth: 0.00\nElevation: 0.00\nRPRT 0\n");
    EXPECT_EQ(cqrlog.ask("P 54 0\n"), "RPRT 0\n");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return cqrlog.ask("+p\n", 4).contains("\nAzimuth: 54.00\n"); }));
}

// Look4Sat sends \set_pos with one decimal every second during a pass and reads nothing back;
// below the horizon the elevation is negative. It ends by closing the connection.
TEST_F(RotatorClientsTest, look4sat_streamsPositionsWithoutReading_theLastOneCounts) {
    {
        Client look4sat(server.port());
        look4sat.send("\\set_pos 200.0 -3.2\n");
        QTest::qWait(20);
        EXPECT_TRUE(turns.empty()); // below the horizon: refused, nothing turns
        for (const char* line :
             {"\\set_pos 201.6 0.4\n", "\\set_pos 203.4 1.1\n", "\\set_pos 205.2 1.9\n"})
            look4sat.send(line);
        EXPECT_TRUE(settlesAt(114)); // 205.2 degrees
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }));
}
