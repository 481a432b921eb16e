#include "station/RotctldProtocol.h"

#include <gtest/gtest.h>

using namespace station;

namespace {

RotctldRequest Parse(const char* line) {
    return ParseRotctldLine(QByteArrayView(line));
}

} // namespace

TEST(RotctldProtocol, linesAsClientsSendThem_readAsTheirCommands) {
    const RotctldRequest set = Parse("P 90.000000 0.000000\n");
    EXPECT_EQ(set.command, RotctldCommand::SetPos);
    EXPECT_TRUE(set.valid);
    EXPECT_EQ(set.azimuth, 90);
    EXPECT_EQ(set.elevation, 0);
    EXPECT_FALSE(set.separator);

    const RotctldRequest longName = Parse("\\set_pos  -12.5\t45\r\n");
    EXPECT_EQ(longName.command, RotctldCommand::SetPos);
    EXPECT_EQ(longName.azimuth, -12.5);
    EXPECT_EQ(longName.arguments, "-12.5 45");

    // A decimal comma, as a client in a comma locale writes it.
    EXPECT_EQ(Parse("P 20,5 0").azimuth, 20.5);

    EXPECT_EQ(Parse("p").command, RotctldCommand::GetPos);
    EXPECT_EQ(Parse("\\get_pos").command, RotctldCommand::GetPos);
    EXPECT_EQ(Parse("S").command, RotctldCommand::Stop);
    EXPECT_EQ(Parse("_").command, RotctldCommand::GetInfo);
    EXPECT_EQ(Parse("\\dump_state").command, RotctldCommand::DumpState);
    EXPECT_EQ(Parse("q").command, RotctldCommand::Quit);
    EXPECT_EQ(Parse("Q").command, RotctldCommand::Quit);
    EXPECT_EQ(Parse("  \r\n").command, RotctldCommand::Blank);
}

TEST(RotctldProtocol, malformedLines_areUnknownOrNotValid) {
    for (const char* line :
         {"P 10", "P", "P 10 0 0", "P abc 0", "P 10 nan", "P inf 0", "P 1,2,3 0", "p extra"})
        EXPECT_FALSE(Parse(line).valid) << line;
    for (const char* line : {"Z", "K", "hello", "\\bogus", "\\", "+", "PP 1 2", "\x01\xff"})
        EXPECT_EQ(Parse(line).command, RotctldCommand::Unknown) << line;
}

TEST(RotctldProtocol, plainReplies_areValuesOrAStatusLine) {
    const RotctldRequest get = Parse("p");
    EXPECT_EQ(RotctldReply(get, RotctldOk, {{"Azimuth", "90.00"}, {"Elevation", "0.00"}}),
              "90.00\n0.00\n");
    EXPECT_EQ(RotctldReply(Parse("P 90 0"), RotctldOk), "RPRT 0\n");
    EXPECT_EQ(RotctldReply(Parse("P 900 0"), RotctldInvalidParameter), "RPRT -1\n");
    EXPECT_EQ(RotctldReply(Parse("K"), RotctldNotImplemented), "RPRT -4\n");
    EXPECT_EQ(RotctldReply(Parse("\\dump_state"), RotctldOk,
                           {{"Minimum Azimuth", "0.000000", "min_az="}, {"", "", "done"}}),
              "min_az=0.000000\ndone\n");
}

TEST(RotctldProtocol, extendedReplies_echoTheCommandAndEndWithTheStatus) {
    EXPECT_EQ(RotctldReply(Parse("+p"), RotctldOk, {{"Azimuth", "1.55"}, {"Elevation", "0.00"}}),
              "get_pos:\nAzimuth: 1.55\nElevation: 0.00\nRPRT 0\n");
    EXPECT_EQ(
        RotctldReply(Parse(";\\get_pos"), RotctldOk, {{"Azimuth", "1.55"}, {"Elevation", "0.00"}}),
        "get_pos:;Azimuth: 1.55;Elevation: 0.00;RPRT 0\n");
    EXPECT_EQ(RotctldReply(Parse("+P  10.5   0.0 "), RotctldOk), "set_pos: 10.5 0.0\nRPRT 0\n");
    EXPECT_EQ(RotctldReply(Parse("|P 500 0"), RotctldInvalidParameter), "set_pos: 500 0|RPRT -1\n");
    EXPECT_EQ(RotctldReply(Parse(",_"), RotctldOk, {{"Info", "Ventrolo"}}),
              "get_info:,Info: Ventrolo,RPRT 0\n");
    EXPECT_EQ(RotctldReply(Parse("+\\dump_state"), RotctldOk,
                           {{"Minimum Azimuth", "0.000000", "min_az="}, {"", "Az", "rot_type="}}),
              "dump_state:\nMinimum Azimuth: 0.000000\nrot_type=Az\nRPRT 0\n");
}
