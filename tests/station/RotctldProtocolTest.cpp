// The forms of the protocol the server tests do not send.
#include "station/RotctldProtocol.h"

#include <gtest/gtest.h>

using namespace station;

namespace {

RotctldRequest Parse(const char* line) {
    return ParseRotctldLine(QByteArrayView(line));
}

} // namespace

TEST(RotctldProtocol, longNamesAndBlanksRead_butNoNumberWithAComma) {
    const RotctldRequest set = Parse("\\set_pos  -12.5\t45\r\n");
    EXPECT_EQ(set.command, RotctldCommand::SetPos);
    EXPECT_EQ(set.azimuth, -12.5);
    EXPECT_EQ(set.elevation, 45);
    EXPECT_EQ(Parse("\\stop").command, RotctldCommand::Stop);
    EXPECT_EQ(Parse("\\get_info").command, RotctldCommand::GetInfo);
    EXPECT_EQ(Parse("Q").command, RotctldCommand::Quit);
    EXPECT_EQ(Parse("\\quit").command, RotctldCommand::Quit);
    for (const char* line :
         {"P 10 0 0", "P 10 nan", "P inf 0", "P 1,2,3 0", "P 1,000 0", "P 20 0,5", "p extra"})
        EXPECT_FALSE(Parse(line).valid) << line;
    const RotctldRequest move = Parse("\\move  cw\t-1");
    EXPECT_EQ(move.command, RotctldCommand::Move);
    EXPECT_EQ(move.direction, RotctldDirection::Right);
    EXPECT_EQ(move.speed, RotctldSpeedAsIs);
    EXPECT_EQ(Parse("M 8 100").direction, RotctldDirection::Left);
    EXPECT_EQ(Parse("M Left 1").speed, 1);
    for (const char* line : {"M 8 -2", "M 0 50", "M 24 50", "M 8 50 1", "M 8 nan", "K 1"})
        EXPECT_FALSE(Parse(line).valid) << line;
    for (const char* line : {"hello", "\\", "+", "PP 1 2"})
        EXPECT_EQ(Parse(line).command, RotctldCommand::Unknown) << line;
}

TEST(RotctldProtocol, extendedReplies_areSeparatedByTheCharacterThatAskedForThem) {
    const std::vector<RotctldValue> position{{"Azimuth", "1.55"}, {"Elevation", "0.00"}};
    EXPECT_EQ(RotctldReply(Parse(";\\get_pos"), RotctldOk, position),
              "get_pos:;Azimuth: 1.55;Elevation: 0.00;RPRT 0\n");
    EXPECT_EQ(RotctldReply(Parse("+P  10.5   0.0 "), RotctldOk), "set_pos: 10.5 0.0\nRPRT 0\n");
    EXPECT_EQ(RotctldReply(Parse("|P 500 0"), RotctldInvalidParameter), "set_pos: 500 0|RPRT -1\n");
    EXPECT_EQ(RotctldReply(Parse("+\\dump_state"), RotctldOk, {{"", "Az", "rot_type="}}),
              "dump_state:\nrot_type=Az\nRPRT 0\n");
}
