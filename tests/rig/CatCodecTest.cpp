#include "rig/CatCodec.h"

#include "rig/RigModel.h"
#include "rig/SerialSettings.h"

#include <gtest/gtest.h>

using namespace rig;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

QByteArray Frequency(Model model, float kHz) {
    const std::optional<Frame> frame = SetFrequencyFrame(*CommandTable(model), kHz);
    return frame ? FrameBytes(*frame) : QByteArray("none");
}

QByteArray Bytes(const std::optional<CatCommand>& command) {
    return command ? FrameBytes(command->frame) : QByteArray();
}

} // namespace

TEST(FreqToBcdDigits, countsTenHertzAndCutsFinerDigits) {
    EXPECT_EQ(FreqToBcdDigits("7050"), "00705000");
    EXPECT_EQ(FreqToBcdDigits(" 7050.5 "), "00705050");
    EXPECT_EQ(FreqToBcdDigits("7050.125"), "00705012");
    EXPECT_EQ(FreqToBcdDigits("7050."), "00705000");
    EXPECT_EQ(FreqToBcdDigits(".5"), "00000050");
    EXPECT_EQ(FreqToBcdDigits("144300"), "14430000");
    EXPECT_EQ(FreqToBcdDigits("999999.99"), "99999999");
}

TEST(FreqToBcdDigits, textsThatDoNotFitAreOverflow) {
    EXPECT_EQ(FreqToBcdDigits("1234567.5"), "Overflow"); // point after the seventh character
    EXPECT_EQ(FreqToBcdDigits("1000000"), "Overflow");   // would otherwise lose a digit
    EXPECT_EQ(FreqToBcdDigits("-7050"), "Overflow");
    EXPECT_EQ(FreqToBcdDigits("1.234568E+07"), "Overflow");
    EXPECT_EQ(FreqToBcdDigits(""), "Overflow");
}

TEST(SetFrequencyFrame, packsTheDigitsInEachModelsOrder) {
    EXPECT_EQ(Frequency(Model::Ft817, 7050), Hex("0070500001"));
    EXPECT_EQ(Frequency(Model::Ft817, 7050.125f), Hex("0070501201"));
    EXPECT_EQ(Frequency(Model::Ft847, 144300), Hex("1443000001"));
    EXPECT_EQ(Frequency(Model::Ft847, 432100.5f), Hex("4321005001"));
    EXPECT_EQ(Frequency(Model::Ft757GXII, 7050), Hex("005070000a"));
    EXPECT_EQ(Frequency(Model::Ft840, 30000), Hex("000000030a"));
    // A fractional frequency keeps its 100 Hz and 10 Hz digits in the first byte.
    EXPECT_EQ(Frequency(Model::Ft840, 7050.12f), Hex("125070000a"));
}

TEST(CommandTable, framesOfEveryModel) {
    const CatCommandTable& ft757 = *CommandTable(Model::Ft757GXII);
    EXPECT_EQ(FrameBytes(ft757.readFrequency.frame), Hex("0000000010"));
    EXPECT_EQ(Bytes(ft757.readSMeter), Hex("0000000110"));
    EXPECT_EQ(FrameBytes(SetModeFrame(ft757, 5)), Hex("000000050c"));
    EXPECT_EQ(FrameBytes(ft757.lockOn.frame), Hex("0000000104"));
    EXPECT_EQ(FrameBytes(ft757.lockOff.frame), Hex("0000000004"));
    EXPECT_EQ(Bytes(ft757.catDelay), Hex("000000320e"));
    EXPECT_FALSE(ft757.pttOn || ft757.readRxStatus || ft757.powerOn);

    const CatCommandTable& ft817 = *CommandTable(Model::Ft817);
    EXPECT_EQ(FrameBytes(ft817.readFrequency.frame), Hex("0000000003"));
    EXPECT_EQ(Bytes(ft817.readRxStatus), Hex("00000000e7"));
    EXPECT_EQ(Bytes(ft817.readTxStatus), Hex("00000000f7"));
    EXPECT_EQ(FrameBytes(SetModeFrame(ft817, 8)), Hex("0800000007"));
    EXPECT_EQ(Bytes(ft817.pttOn), Hex("0000000008"));
    EXPECT_EQ(Bytes(ft817.pttOff), Hex("0000000088"));
    EXPECT_EQ(FrameBytes(ft817.lockOn.frame), Hex("0000000000"));
    EXPECT_EQ(FrameBytes(ft817.lockOff.frame), Hex("0000000080"));
    EXPECT_EQ(Bytes(ft817.wakeUp), Hex("0000000000"));
    EXPECT_EQ(Bytes(ft817.powerOn), Hex("000000000f"));
    EXPECT_EQ(Bytes(ft817.powerOff), Hex("000000008f"));

    const CatCommandTable& ft840 = *CommandTable(Model::Ft840);
    EXPECT_EQ(FrameBytes(ft840.readFrequency.frame), Hex("0200000210"));
    EXPECT_EQ(Bytes(ft840.readSMeter), Hex("00000000f7"));
    EXPECT_EQ(Bytes(ft840.readRxStatus), Hex("00000000fa"));
    EXPECT_EQ(FrameBytes(SetModeFrame(ft840, 6)), Hex("000000060c"));
    EXPECT_EQ(Bytes(ft840.pttOn), Hex("000000010f"));
    EXPECT_EQ(Bytes(ft840.pttOff), Hex("000000000f"));
    EXPECT_EQ(FrameBytes(ft840.lockOn.frame), Hex("0000000104"));
    EXPECT_EQ(FrameBytes(ft840.lockOff.frame), Hex("0000000004"));

    const CatCommandTable& ft847 = *CommandTable(Model::Ft847);
    EXPECT_EQ(FrameBytes(ft847.readFrequency.frame), Hex("0000000003"));
    EXPECT_EQ(Bytes(ft847.readRxStatus), Hex("00000000e7"));
    EXPECT_EQ(Bytes(ft847.readTxStatus), Hex("000000007f"));
    EXPECT_EQ(FrameBytes(SetModeFrame(ft847, 136)), Hex("8800000007"));
    EXPECT_EQ(Bytes(ft847.pttOn), Hex("0000000008"));
    EXPECT_EQ(Bytes(ft847.pttOff), Hex("0000000088"));
    EXPECT_EQ(FrameBytes(ft847.lockOff.frame), Hex("0000000080"));

    EXPECT_EQ(CommandTable(Model::Ft857), nullptr);
    EXPECT_EQ(CommandTable(Model::Ft897), nullptr);
    EXPECT_EQ(CommandTable(static_cast<Model>(9)), nullptr);
}

TEST(DecodeBcdFrequencyReply, readsTenHertzAndTheModeByte) {
    const auto reply = DecodeBcdFrequencyReply(*CommandTable(Model::Ft817), Hex("0070505001"));
    ASSERT_TRUE(reply);
    EXPECT_DOUBLE_EQ(reply->kHz, 7050.5);
    EXPECT_EQ(reply->modeCode, 1);
    const auto vhf = DecodeBcdFrequencyReply(*CommandTable(Model::Ft847), Hex("4321005088"));
    ASSERT_TRUE(vhf);
    EXPECT_DOUBLE_EQ(vhf->kHz, 432100.5);
    EXPECT_EQ(vhf->modeCode, 0x88);
}

TEST(DecodeBcdFrequencyReply, damagedOrShortRepliesGiveNothing) {
    const CatCommandTable& ft817 = *CommandTable(Model::Ft817);
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("00705A5001")));   // not a decimal digit
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("00705050")));     // short
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("007050500100"))); // too long
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("0000000001")));   // 0 kHz
    EXPECT_FALSE(DecodeBcdFrequencyReply(ft817, Hex("9900000001")));   // beyond the rig
}

TEST(DecodeBlockFrequency, ft840AndFt757BlocksCarryABinaryFrequency) {
    QByteArray block19(19, '\0');
    block19.replace(2, 3, Hex("0AB208"));
    const auto ft840 = DecodeBlockFrequency(*CommandTable(Model::Ft840), block19);
    ASSERT_TRUE(ft840);
    EXPECT_DOUBLE_EQ(*ft840, 7009.36);

    QByteArray block75(75, '\0');
    block75.replace(6, 3, Hex("1588D0")); // 1411280 x 10 Hz
    const auto ft757 = DecodeBlockFrequency(*CommandTable(Model::Ft757GXII), block75);
    ASSERT_TRUE(ft757);
    EXPECT_DOUBLE_EQ(*ft757, 14112.8);

    EXPECT_FALSE(DecodeBlockFrequency(*CommandTable(Model::Ft840), block19.left(18)));
    EXPECT_FALSE(DecodeBlockFrequency(*CommandTable(Model::Ft757GXII), block19));
    QByteArray garbage(19, '\xFF');
    EXPECT_FALSE(DecodeBlockFrequency(*CommandTable(Model::Ft840), garbage)); // 167772 kHz
}

TEST(StatusBits, smeterInhibitSwrAndLock) {
    const RxTxStatus transmitting = DecodeRxTxStatus(0x48);
    EXPECT_EQ(transmitting.sMeter, 8);
    EXPECT_FALSE(transmitting.transmitInhibit);
    EXPECT_TRUE(transmitting.highSwr);
    EXPECT_TRUE(DecodeRxTxStatus(0x80).transmitInhibit);
    EXPECT_EQ(DecodeRxTxStatus(0xFF).sMeter, 15);

    const auto ft840 = DecodeFt840Status(Hex("0141000000"));
    ASSERT_TRUE(ft840);
    EXPECT_TRUE(ft840->locked);
    EXPECT_TRUE(ft840->transmitting);
    EXPECT_TRUE(ft840->highSwr);
    EXPECT_FALSE(DecodeFt840Status(Hex("01410000")));

    EXPECT_TRUE(StatusBlockLocked(Hex("01")));
    EXPECT_FALSE(StatusBlockLocked(Hex("FE")));
}

TEST(FrequencyValid, bandEdgesOfEachModel) {
    EXPECT_TRUE(FrequencyValid(Model::Ft757GXII, 150));
    EXPECT_FALSE(FrequencyValid(Model::Ft757GXII, 149.99));
    EXPECT_TRUE(FrequencyValid(Model::Ft757GXII, 29999));
    EXPECT_FALSE(FrequencyValid(Model::Ft757GXII, 29999.5));

    EXPECT_TRUE(FrequencyValid(Model::Ft817, 30000));
    EXPECT_FALSE(FrequencyValid(Model::Ft817, 30001));
    EXPECT_FALSE(FrequencyValid(Model::Ft817, 49999));
    EXPECT_TRUE(FrequencyValid(Model::Ft817, 54000));
    EXPECT_TRUE(FrequencyValid(Model::Ft817, 154000));
    EXPECT_FALSE(FrequencyValid(Model::Ft817, 200000));
    EXPECT_TRUE(FrequencyValid(Model::Ft817, 450000));
    EXPECT_FALSE(FrequencyValid(Model::Ft817, 99));

    EXPECT_TRUE(FrequencyValid(Model::Ft840, 100));
    EXPECT_FALSE(FrequencyValid(Model::Ft840, 30000.01));

    EXPECT_TRUE(FrequencyValid(Model::Ft847, 36990));
    EXPECT_FALSE(FrequencyValid(Model::Ft847, 36995));
    EXPECT_TRUE(FrequencyValid(Model::Ft847, 37000));
    EXPECT_FALSE(FrequencyValid(Model::Ft847, 100000));
    EXPECT_TRUE(FrequencyValid(Model::Ft847, 512000));
    EXPECT_FALSE(FrequencyValid(Model::Ft847, 512001));

    EXPECT_TRUE(FrequencyValid(Model::Ft857, 1e9));
    EXPECT_TRUE(FrequencyValid(Model::Ft897, -5));
}

TEST(SerialSettings, stopBitsPerModelAndTheirWireTime) {
    EXPECT_EQ(SerialSettingsText(Model::Ft757GXII, 4800), "4800,N,8,2");
    EXPECT_EQ(SerialSettingsText(Model::Ft840, 9600), "9600,N,8,2");
    EXPECT_EQ(SerialSettingsText(Model::Ft817, 9600), "9600,N,8,1");
    EXPECT_EQ(SerialSettingsText(Model::Ft847, 57600), "57600,N,8,1");
    EXPECT_EQ(SerialSettingsText(Model::Ft897, 38400), "38400,N,8,1");

    const auto line = ParseSerialSettings("4800,N,8,2");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->bitsPerCharacter(), 11);
    EXPECT_DOUBLE_EQ(line->wireTimeMs(75), 171.875);
    EXPECT_EQ(ParseSerialSettings(" 9600 , e , 7 , 1")->bitsPerCharacter(), 10);
    EXPECT_FALSE(ParseSerialSettings("4800,N,8"));
    EXPECT_FALSE(ParseSerialSettings("0,N,8,1"));
    EXPECT_FALSE(ParseSerialSettings("4800,X,8,1"));
    EXPECT_FALSE(ParseSerialSettings("4800,N,9,1"));
    EXPECT_FALSE(ParseSerialSettings("4800,N,8,3"));
}

TEST(ModeTable, codesFoundOnlyWhereTheModeHasOne) {
    EXPECT_EQ(ModeIndexForCode(Model::Ft817, 8), 6);
    EXPECT_EQ(ModeIndexForCode(Model::Ft817, 10), 0); // DIG cannot be told from a reply
    EXPECT_EQ(ModeIndexForCode(Model::Ft847, 52), 7);
    EXPECT_EQ(ModeIndexForCode(Model::Ft840, 6), 7);
    EXPECT_EQ(ModeIndexForCode(Model::Ft757GXII, 6), 0);
    EXPECT_EQ(ModeTable(Model::Ft817).size(), 9u);
    EXPECT_EQ(ModeTable(Model::Ft847)[9].name, "FMn");
    EXPECT_TRUE(ModeTable(Model::Ft857).empty());
    EXPECT_EQ(ModelName(Model::Ft757GXII), "FT757GXII");
    EXPECT_EQ(ModelName(Model::Ft897), "FT897");
}
