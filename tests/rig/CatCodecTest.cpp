#include "rig/CatCodec.h"

#include "rig/SerialSettings.h"
#include "support/RigTestHelpers.h"

#include <gtest/gtest.h>

using namespace rig;

namespace {

using test_support::Hex;

QByteArray Frequency(Model model, float kHz) {
    const std::optional<Frame> frame = SetFrequencyFrame(Caps(model), kHz);
    return frame ? FrameBytes(*frame) : QByteArray("none");
}

} // namespace

TEST(FreqToBcdDigits, countsTenHertzCutsFinerDigitsAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(FreqToBcdDigits(" 7050.5 "), "00705050");
    EXPECT_EQ(FreqToBcdDigits("7050.125"), "00705012");
    EXPECT_EQ(FreqToBcdDigits(".5"), "00000050");
    EXPECT_EQ(FreqToBcdDigits("999999.99"), "99999999");
    EXPECT_EQ(FreqToBcdDigits("1234567.5"), "Overflow"); // point after the seventh character
    EXPECT_EQ(FreqToBcdDigits("1000000"), "Overflow");   // would otherwise lose a digit
    EXPECT_EQ(FreqToBcdDigits("-7050"), "Overflow");
    EXPECT_EQ(FreqToBcdDigits("1.234568E+07"), "Overflow");
    EXPECT_EQ(FreqToBcdDigits(""), "Overflow");
}

TEST(SetFrequencyFrame, fractionsAreCutAndKeptWhereTheFrameHasRoomForThem) {
    EXPECT_EQ(Frequency(Model::Ft817, 7050.125f), Hex("0070501201"));
    EXPECT_EQ(Frequency(Model::Ft847, 432100.5f), Hex("4321005001"));
    // The older rigs' frame carries the 100 Hz and 10 Hz digits in its first byte.
    EXPECT_EQ(Frequency(Model::Ft840, 7050.12f), Hex("125070000a"));
}

TEST(DecodeReplies, damagedShortOrImpossibleRepliesGiveNothing) {
    const RigCaps& ft817 = Caps(Model::Ft817);
    EXPECT_DOUBLE_EQ(DecodeBcdFrequencyReply(ft817, Hex("0070505001"))->kHz, 7050.5);
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("00705A5001")));   // not a decimal digit
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("00705050")));     // short
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("007050500100"))); // too long
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("9900000001")));   // beyond the rig

    QByteArray block19(19, '\0');
    block19.replace(2, 3, Hex("0AB208"));
    EXPECT_DOUBLE_EQ(*DecodeBlockFrequency(Caps(Model::Ft840), block19), 7009.36);
    EXPECT_FALSE(DecodeBlockFrequency(Caps(Model::Ft840), block19.left(18)));
    EXPECT_FALSE(DecodeBlockFrequency(Caps(Model::Ft840), QByteArray(19, '\0')));
    EXPECT_FALSE(DecodeFt840Status(Hex("01410000")));
}

TEST(SerialSettings, parsesTheSettingsTextAndTimesTheWire) {
    const auto line = ParseSerialSettings(Caps(Model::Ft757GXII).settingsText(4800));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->bitsPerCharacter(), 11);
    EXPECT_DOUBLE_EQ(line->wireTimeMs(75), 171.875);
    EXPECT_EQ(ParseSerialSettings(" 9600 , e , 7 , 1")->bitsPerCharacter(), 10);
    for (const char* bad : {"4800,N,8", "0,N,8,1", "4800,X,8,1", "4800,N,9,1", "4800,N,8,3"})
        EXPECT_FALSE(ParseSerialSettings(bad)) << bad;
}
