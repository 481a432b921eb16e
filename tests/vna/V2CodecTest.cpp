// The V2's commands as bytes, and its FIFO records read or refused.
#include "vna/V2Codec.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace vna;

namespace {

QByteArray Record(qint32 fwdRe, qint32 fwdIm, qint32 reflRe, qint32 reflIm, quint16 index) {
    char bytes[32] = {};
    qToLittleEndian(fwdRe, bytes);
    qToLittleEndian(fwdIm, bytes + 4);
    qToLittleEndian(reflRe, bytes + 8);
    qToLittleEndian(reflIm, bytes + 12);
    qToLittleEndian(index, bytes + 24);
    return QByteArray(bytes, 32);
}

} // namespace

TEST(V2CodecTest, commands_areTheRegisterWritesAndReads) {
    EXPECT_EQ(v2::ResetBytes(), QByteArray(8, '\0'));
    EXPECT_EQ(v2::IndicateCommand().toHex(), "0d");
    EXPECT_EQ(v2::ReadRegisterCommand(0xf0).toHex(), "10f0");
    // 7 MHz start, 2 kHz steps, 101 points, one value per frequency.
    EXPECT_EQ(v2::SweepCommands({7000000, 7200000, 101}).toHex(' '),
              "23 00 c0 cf 6a 00 00 00 00 00 23 10 d0 07 00 00 00 00 00 00 21 20 65 00 21 22 01 00");
    EXPECT_EQ(v2::ClearFifoCommand().toHex(), "203000");
    EXPECT_EQ(v2::ReadFifoCommand(101).toHex(), "183065");
    EXPECT_EQ(v2::LeaveUsbModeCommand().toHex(), "202602");
}

TEST(V2CodecTest, records_s11IsReflectedOverForward) {
    QByteArray record = Record(1000, 0, -250, 500, 7);
    const auto read = v2::ReadRecord(record.constData(), 101);
    ASSERT_TRUE(read); // an older firmware's record: no checksum
    EXPECT_EQ(read->index, 7);
    EXPECT_EQ(read->s11, std::complex<double>(-0.25, 0.5));

    // A newer firmware's checksum holds the record together.
    record[31] = char(v2::RecordChecksum(record.constData()));
    ASSERT_TRUE(v2::ReadRecord(record.constData(), 101));
    QByteArray flipped = record;
    flipped[9] = char(flipped[9] ^ 0x10);
    EXPECT_FALSE(v2::ReadRecord(flipped.constData(), 101));

    // An index beyond the sweep and a missing forward wave are no records.
    EXPECT_FALSE(v2::ReadRecord(Record(1000, 0, 1, 1, 101).constData(), 101));
    EXPECT_FALSE(v2::ReadRecord(Record(0, 0, 1, 1, 3).constData(), 101));
}
