// The shell's replies read as the firmwares print them, and everything else refused.
#include "vna/ShellCodec.h"

#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

using namespace vna;
using namespace vna::shell;

namespace {

const SweepRequest ThreePoints{7000000, 7200000, 3};

QByteArray Reply(const QString& command, const QByteArray& output) {
    return "ch> " + command.toLatin1() + "\r\n" + output + "ch> ";
}

QByteArray BinaryPoint(quint32 hz, float re, float im) {
    char bytes[12];
    qToLittleEndian(hz, bytes);
    qToLittleEndian(re, bytes + 4);
    qToLittleEndian(im, bytes + 8);
    return QByteArray(bytes, 12);
}

QByteArray BinaryHeader(quint16 mask, quint16 points) {
    char bytes[4];
    qToLittleEndian(mask, bytes);
    qToLittleEndian(points, bytes + 2);
    return QByteArray(bytes, 4);
}

} // namespace

TEST(ShellCodecTest, replyFraming_isWholeAtThePromptAndLosesEchoAndPrompt) {
    const QString command = QStringLiteral("scan 7000000 7200000 3 3");
    const QByteArray whole = Reply(command, "7000000 0.1 0.2 \r\n7100000 0.0 0.0 \r\n");
    EXPECT_FALSE(ReplyWhole(whole.left(whole.size() - 4)));
    EXPECT_TRUE(ReplyWhole(whole));
    EXPECT_TRUE(ReplyWhole(whole.chopped(1))); // the prompt's blank still on its way
    EXPECT_EQ(ReplyLines(whole, command),
              QStringList({"7000000 0.1 0.2", "7100000 0.0 0.0"}));
    // LF alone ends a line too, and what stood before the echo is no output.
    EXPECT_EQ(ReplyLines("NanoVNA Shell\nversion\n1.2.27\nch> ", QStringLiteral("version")),
              QStringList({"1.2.27"}));
}

TEST(ShellCodecTest, values_pointCommaSentinelsAndGarbage) {
    EXPECT_EQ(ReadValue(u"-0.125000").number, -0.125);
    EXPECT_EQ(ReadValue(u"0,125000").number, 0.125);
    EXPECT_EQ(ReadValue(u"0,125000").kind, Value::Kind::Number);
    for (const char16_t* sentinel : {u"2147483647.147483647", u"-2147483648.-147483648", u"nan",
                                     u"-nan", u"inf", u"-inf"})
        EXPECT_EQ(ReadValue(sentinel).kind, Value::Kind::Failed) << QString::fromUtf16(sentinel).toStdString();
    for (const char16_t* garbage : {u"0.0.1359530", u"1,2.5", u"", u"0.1x", u"ch>"})
        EXPECT_EQ(ReadValue(garbage).kind, Value::Kind::Garbled) << QString::fromUtf16(garbage).toStdString();
}

TEST(ShellCodecTest, scanLines_readWholeMarkFailedPointsAndRefuseTheRest) {
    const auto good = ReadScanLines({"7000000 0,5 -0,25", "7100000 2147483647.147483647 2147483647.147483647",
                                     "7200000 -0.5 0.25"},
                                    ThreePoints);
    ASSERT_TRUE(good.ok()) << good.error.toStdString();
    ASSERT_EQ(good.value->size(), 3u);
    EXPECT_EQ((*good.value)[0].s11, std::complex<double>(0.5, -0.25));
    EXPECT_FALSE((*good.value)[1].valid);
    EXPECT_TRUE((*good.value)[2].valid);
    EXPECT_EQ((*good.value)[2].hz, 7200000);

    // Short, garbled, out of order, outside the range asked: errors, never a sweep.
    const auto shortSweep = ReadScanLines({"7000000 0.5 0.5", "7100000 0.5 0.5"}, ThreePoints);
    EXPECT_EQ(shortSweep.error, "The VNA sent 2 of 3 points.");
    for (const QStringList& bad :
         {QStringList{"7000000 0.5 0.5", "7100000 0.0.1359530 0.5", "7200000 0.5 0.5"},
          QStringList{"7000000 0.5 0.5", "7100000 0.5", "7200000 0.5 0.5"},
          QStringList{"7000000 0.5 0.5", "7200000 0.5 0.5", "7100000 0.5 0.5"},
          QStringList{"7000000 0.5 0.5", "7100000 0.5 0.5", "9200000 0.5 0.5"}}) {
        const auto read = ReadScanLines(bad, ThreePoints);
        EXPECT_FALSE(read.ok());
        EXPECT_TRUE(read.error.startsWith("The VNA's reply is garbled")) << read.error.toStdString();
    }
    // A value a passive loop cannot reflect is no measurement.
    const auto implausible = ReadScanLines({"7000000 0.5 0.5", "7100000 45.0 3.0", "7200000 0.5 0.5"},
                                           ThreePoints);
    ASSERT_TRUE(implausible.ok());
    EXPECT_FALSE((*implausible.value)[1].valid);
}

TEST(ShellCodecTest, olderFirmware_frequenciesAndDataMakeTheSweep) {
    const auto read = ReadFrequencyAndDataLines({"7000000", "7100000", "7200000"},
                                                {"0.1 0.2", "nan nan", "-0.3 0.4"}, ThreePoints);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ((*read.value)[2].s11, std::complex<double>(-0.3, 0.4));
    EXPECT_FALSE((*read.value)[1].valid);
    EXPECT_FALSE(ReadFrequencyAndDataLines({"7000000", "7100000"}, {"0.1 0.2", "0.1 0.2"}, ThreePoints).ok());
}

TEST(ShellCodecTest, binaryScan_wholeOnlyWithEveryPointAndThePrompt) {
    const QString command = QStringLiteral("scan_bin 7000000 7200000 3 3");
    const QByteArray payload = BinaryHeader(0x83, 3) + BinaryPoint(7000000, 0.5f, -0.25f) +
                               BinaryPoint(7100000, NAN, NAN) + BinaryPoint(7200000, 0.125f, 0.0f);
    const QByteArray reply = command.toLatin1() + "\r\n" + payload + "ch> ";
    for (qsizetype cut = 0; cut < reply.size() - 4; ++cut)
        ASSERT_FALSE(BinaryReplyWhole(reply.left(cut), command, 3)) << cut;
    ASSERT_TRUE(BinaryReplyWhole(reply, command, 3));
    const auto read = ReadBinaryScan(reply, command, ThreePoints);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ((*read.value)[0].s11, std::complex<double>(0.5, -0.25));
    EXPECT_FALSE((*read.value)[1].valid);
    EXPECT_EQ((*read.value)[2].hz, 7200000);

    // A refusal in text is whole at its prompt and says what the firmware said.
    const QByteArray refused = command.toLatin1() + "\r\nsweep points exceeds range 101\r\nch> ";
    ASSERT_TRUE(BinaryReplyWhole(refused, command, 3));
    EXPECT_EQ(ReadBinaryScan(refused, command, ThreePoints).error,
              "The VNA refused the sweep: \"sweep points exceeds range 101\".");
    // Points for another sweep are garbled data.
    QByteArray misplaced = reply;
    misplaced.replace(BinaryPoint(7200000, 0.125f, 0.0f), BinaryPoint(6900000, 0.125f, 0.0f));
    EXPECT_FALSE(ReadBinaryScan(misplaced, command, ThreePoints).ok());
}

TEST(ShellCodecTest, infoHelpAndLimits) {
    const Info h4 = ReadInfo({"Board: NanoVNA-H 4", "Version: 1.2.27 [p:401, IF:12k, ADC:384k, Lcd:480x320]"});
    EXPECT_EQ(h4.board, "NanoVNA-H 4");
    EXPECT_EQ(h4.maxPoints, 401);
    EXPECT_FALSE(ReadInfo({"Board: NanoVNA", "Version: 0.4.5"}).maxPoints);
    EXPECT_EQ(PointsLimit({"sweep points exceeds range 101"}), 101);
    EXPECT_TRUE(ReadCommandNames({"Commands: scan scan_bin data"}).contains("scan_bin"));
    EXPECT_FALSE(ReadCommandNames({"Commands: scan data"}).contains("scan_bin"));
}
