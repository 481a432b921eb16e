// The CI-V link against an IC-7300 on a scripted bus, on the virtual clock: the frames as the
// rig's reference writes them, and what the bus does to them.
#include "rig/CivRig.h"

#include "rig/CivFrame.h"
#include "rig/CivTransceiver.h"
#include "rig/ScriptedLine.h"
#include "support/FakePlatform.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"
#include "support/RigTestHelpers.h"
#include "tuning/RigState.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace rig;
using rig_test::CivTransceiver;
using rig_test::ScriptedLine;

namespace {

using test_support::Hex;

struct CivRigTest : ::testing::Test {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    ScriptedLine line{platform};
    CivTransceiver ic7300;
    CivRig rig{platform, line, log};
    // What the rig shows, as the link tells it.
    tuning::RigState shown{rig};
    std::optional<RigReading> reading;
    std::vector<RigReading> announced;

    CivRigTest() {
        platform.processQtEvents = true;
        line.echo = true; // the one-wire bus
        line.rig = [this](const QByteArray& frame) { return ic7300.answer(frame); };
        QObject::connect(&rig, &RigConnection::readingArrived,
                         [this](const RigReading& r) { reading = r; });
        QObject::connect(&rig, &RigConnection::readingAnnounced,
                         [this](const RigReading& r) { announced.push_back(r); });
        log.setTerminalShown(true);
    }
    // A reading asked for and given its time; nullopt when none came.
    std::optional<RigReading> read() {
        reading.reset();
        EXPECT_TRUE(rig.requestReading());
        platform.advance(1000);
        return reading;
    }
};

} // namespace

TEST_F(CivRigTest, readsFrequencyModeAndTransmit_passingOverItsOwnEcho_andSetsThem) {
    ASSERT_TRUE(rig.open(2).ok);
    EXPECT_EQ(line.openedWith, "19200,N,8,1");
    const std::optional<RigReading> r = read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kHz, 7100.0f);
    EXPECT_EQ(r->transmitting, false);
    EXPECT_EQ(rig.capabilities().modeNames.at(shown.modeIndex() - 1), "USB");
    EXPECT_EQ(line.written, (std::vector<QByteArray>{Hex("fefe94e003fd"), Hex("fefe94e004fd"),
                                                     Hex("fefe94e01c00fd")}));
    // The traffic in the CAT log, as the Yaesu frames are.
    EXPECT_TRUE(log.TerminalBuffer().contains("TX> 254,254,148,224,3,253 {Ask Freq}"));

    // 14.070 MHz is 00 00 07 14 00; FM is mode 05.
    EXPECT_EQ(rig.setFrequency(14070), CatResult::Sent);
    platform.advance(100);
    EXPECT_TRUE(line.wrote(Hex("fefe94e0050000071400fd")));
    EXPECT_EQ(ic7300.dialHz, 14070000);
    EXPECT_EQ(rig.setMode(int(rig.capabilities().modeNames.indexOf("FM")) + 1), CatResult::Sent);
    platform.advance(100);
    EXPECT_EQ(ic7300.mode, 0x05);
    // Outside the IC-7300's coverage: the beep, nothing sent.
    const std::size_t sent = line.written.size();
    EXPECT_EQ(rig.setFrequency(145000), CatResult::OutOfRange);
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(line.written.size(), sent);

    // While transmitting the SWR meter is read too: 0120 is SWR 3.0, high.
    ic7300.transmitting = true;
    ic7300.swrLevel = 120;
    EXPECT_EQ(read()->transmitting, true);
    EXPECT_EQ(shown.swrState(), 1);
    ic7300.swrLevel = 48;
    (void)read();
    EXPECT_EQ(shown.swrState(), 0);

    // The S-meter: 0120 is S9.
    std::optional<float> s;
    QObject::connect(&rig, &RigConnection::sMeterArrived, [&](std::optional<float> v) { s = v; });
    ASSERT_TRUE(rig.requestSMeter());
    platform.advance(200);
    EXPECT_EQ(s, 9.0f);
}

TEST_F(CivRigTest, anotherModelAndAddressAreAskedAtTheirAddress_andTheBaudRateIsTheOneSet) {
    ic7300.dialHz = 145500000;
    // The rig at 94 answers only to 94: an IC-705 set to address 94 is read; at its own A4 not.
    rig.setSettings({QStringLiteral("IC-705"), 0x94, 115200});
    ASSERT_TRUE(rig.open(1).ok);
    EXPECT_EQ(line.openedWith, "115200,N,8,1");
    EXPECT_EQ(rig.rigName(), "IC-705");
    EXPECT_EQ(read()->kHz, 145500.0f);
    rig.close();
    rig.setSettings({QStringLiteral("IC-705"), 0xA4, 19200});
    ASSERT_TRUE(rig.open(1).ok);
    EXPECT_FALSE(read()->kHz);
    EXPECT_TRUE(line.wrote(Hex("fefea4e003fd")));
}

TEST_F(CivRigTest, silenceGarbageHalfFramesAndRefusalsGiveNoFrequency_andTheNextFrameIsRead) {
    ASSERT_TRUE(rig.open(1).ok);

    // Silence: every command is given up within its wire time and the rig's latency.
    line.silent = true;
    reading.reset();
    ASSERT_TRUE(rig.requestReading());
    EXPECT_FALSE(rig.requestReading()); // one at a time
    platform.advance(3 * 200);
    ASSERT_TRUE(reading);
    EXPECT_FALSE(reading->kHz);
    EXPECT_FALSE(reading->transmitting);
    line.silent = false;

    // Noise, a frame cut short and no end code: nothing is taken from them; the frame after
    // them is read.
    line.rig = [this](const QByteArray& frame) {
        const QByteArray good = ic7300.answer(frame);
        return frame == Hex("fefe94e003fd") ? Hex("0012ff7ffefee0940300") + good : good;
    };
    EXPECT_EQ(read()->kHz, 7100.0f);

    // Half a reply and then nothing: given up, and what came does not spoil the next reply.
    line.rig = [this](const QByteArray& frame) {
        return frame == Hex("fefe94e003fd") ? Hex("fefee094030000") : ic7300.answer(frame);
    };
    EXPECT_FALSE(read()->kHz);
    line.rig = [this](const QByteArray& frame) { return ic7300.answer(frame); };
    const std::size_t before = line.written.size();
    EXPECT_EQ(read()->kHz, 7100.0f);
    EXPECT_EQ(line.written.size(), before + 3); // nothing sent again

    // A frequency that is not BCD, a reply from another station, and FA: no frequency.
    for (const char* bad : {"fefee094030000a07000fd", "fefee0980300001070 00fd", "fefee094fafd"}) {
        line.rig = [this, bad](const QByteArray& frame) {
            return frame == Hex("fefe94e003fd") ? Hex(bad) : ic7300.answer(frame);
        };
        const std::optional<RigReading> r = read();
        ASSERT_TRUE(r) << bad;
        EXPECT_FALSE(r->kHz) << bad;
        EXPECT_EQ(r->transmitting, false) << bad; // the replies after it still belong to theirs
    }
}

TEST_F(CivRigTest, aReplyAtTheVeryEndOfItsTimeCounts_andTheNextCommandKeepsItsOwnTime) {
    ASSERT_TRUE(rig.open(1).ok);
    // Each reply comes as its time is up (wire time of frame and reply at 19200 baud, plus the
    // rig's latency), before the line is read again.
    line.replyAfterMs = std::ceil(0.5208 * (6 + 23) + RigLatencyMarginMs);
    reading.reset();
    ASSERT_TRUE(rig.requestReading());
    platform.advance(1000);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->kHz, 7100.0f);
    EXPECT_EQ(reading->modeCode, 0x01);
    EXPECT_EQ(reading->transmitting, false);
}

TEST_F(CivRigTest, aCollisionOnTheBusSendsTheFrameAgain_aBusThatStaysJammedGivesNoFrequency) {
    ASSERT_TRUE(rig.open(1).ok);
    // The jam code after our frame, then a reply broken by it: sent three times, read at the
    // third.
    int asked = 0;
    line.rig = [&](const QByteArray& frame) {
        if (frame != Hex("fefe94e003fd"))
            return ic7300.answer(frame);
        ++asked;
        return asked == 1   ? Hex("fcfcfc")
               : asked == 2 ? Hex("fefee094030000fcfc")
                            : ic7300.answer(frame);
    };
    EXPECT_EQ(read()->kHz, 7100.0f);
    EXPECT_EQ(asked, 3);

    line.rig = [this](const QByteArray& frame) {
        return frame == Hex("fefe94e003fd") ? Hex("fcfcfc") : ic7300.answer(frame);
    };
    asked = 0;
    const std::size_t before = line.written.size();
    EXPECT_FALSE(read()->kHz);
    EXPECT_EQ(
        std::count(line.written.begin() + long(before), line.written.end(), Hex("fefe94e003fd")),
        SerialExchanges::Tries);
}

TEST_F(CivRigTest, transceiveFramesAreToldAtOnce_otherTrafficOnTheBusIsNot) {
    ASSERT_TRUE(rig.open(1).ok);
    // The rig announces 7.150 MHz to all, then 7.155 MHz to us.
    line.arrive(Hex("fefe0094000000150700fd"));
    line.arrive(Hex("fefee0940000 50150700fd"), 30);
    platform.advance(50);
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[0].kHz, 7150.0f);
    EXPECT_EQ(announced[1].kHz, 7155.0f);
    // Another rig's announcement, another controller's command, a mode change (LSB): no reading.
    line.arrive(Hex("fefe00980000001007 00fd"));
    line.arrive(Hex("fefe94e1050000071400fd"));
    line.arrive(Hex("fefe0094010001fd"));
    platform.advance(50);
    EXPECT_EQ(announced.size(), 2u);
    EXPECT_EQ(rig.capabilities().modeNames.at(shown.modeIndex() - 1), "LSB");
}

TEST_F(CivRigTest, aRigAnnouncingFromAnotherAddressIsNamedOnce_whileOursIsUnheard) {
    test_support::LogCapture logged;
    rig.setSettings({QStringLiteral("IC-7300"), 0x88, 19200});
    ASSERT_TRUE(rig.open(1).ok);
    // The IC-7300 left at 94 answers nothing asked at 88; its dial changes reach the bus.
    EXPECT_FALSE(read()->kHz);
    line.arrive(Hex("fefe0094000000150700fd"));
    line.arrive(Hex("fefe0094000000160700fd"), 30);
    platform.advance(100);
    EXPECT_TRUE(announced.empty());
    const QStringList told = logged.with(QStringLiteral("CI-V address 94"));
    ASSERT_EQ(told.size(), 1) << logged.text().toStdString();
    EXPECT_TRUE(told.front().contains(QStringLiteral("[civ] address=94")));

    // With the rig at the address set heard, a second rig on the bus is its owner's business.
    rig.close();
    rig.setSettings({QStringLiteral("IC-7300"), 0x94, 19200});
    ASSERT_TRUE(rig.open(1).ok);
    EXPECT_TRUE(read()->kHz);
    line.arrive(Hex("fefe0098000000150700fd"));
    platform.advance(50);
    EXPECT_TRUE(logged.with(QStringLiteral("CI-V address 98")).isEmpty());
}

TEST_F(CivRigTest, thePttIsKeyed_aRefusalIsTold_andClosingReleasesIt) {
    ASSERT_TRUE(rig.open(1).ok);
    QSignalSpy inhibited(&rig, &RigConnection::transmitInhibited);
    EXPECT_EQ(rig.setPtt(true), CatResult::Sent);
    platform.advance(100);
    EXPECT_TRUE(line.wrote(Hex("fefe94e01c0001fd")));
    EXPECT_TRUE(ic7300.transmitting);
    EXPECT_EQ(inhibited.count(), 0);
    rig.close();
    EXPECT_EQ(line.written.back(), Hex("fefe94e01c0000fd"));
    EXPECT_FALSE(shown.pttOn());
    // Also when the release still waited behind a read.
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    platform.advance(100);
    ASSERT_TRUE(rig.requestReading());
    EXPECT_EQ(rig.setPtt(false), CatResult::Sent);
    rig.close();
    EXPECT_EQ(line.written.back(), Hex("fefe94e01c0000fd"));
    rig.close();

    ic7300.transmitting = false;
    ic7300.refusesTransmit = true;
    ASSERT_TRUE(rig.open(1).ok);
    EXPECT_EQ(rig.setPtt(true), CatResult::Sent);
    platform.advance(100);
    EXPECT_EQ(inhibited.count(), 1);
}

TEST_F(CivRigTest, aPortPulledOutGivesReadingsWithoutFrequency_andIsReopenedByItself) {
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    platform.advance(100);
    line.gone = true;
    EXPECT_FALSE(read()->kHz);
    EXPECT_FALSE(rig.connected());
    EXPECT_TRUE(rig.lineText().endsWith(" - no connection"));
    EXPECT_EQ(rig.setPtt(false), CatResult::NotSent);
    EXPECT_EQ(rig.setFrequency(7000), CatResult::NotSent);
    // Readings come at once meanwhile, and the line is tried again ever less often.
    EXPECT_FALSE(read()->kHz);
    platform.advance(5000);
    EXPECT_FALSE(rig.connected());

    line.gone = false;
    const std::size_t before = line.written.size();
    platform.advance(SerialExchanges::LongestReopenMs + 1);
    ASSERT_TRUE(rig.connected());
    // Our PTT, released while the line was gone, is released at the rig now.
    ASSERT_GT(line.written.size(), before);
    EXPECT_EQ(line.written[before], Hex("fefe94e01c0000fd"));
    EXPECT_FALSE(ic7300.transmitting);
    EXPECT_EQ(read()->kHz, 7100.0f);
}

TEST(CivFrameTest, frequenciesAreFiveBcdBytesLowFirst_andDamagedOnesAreRefused) {
    EXPECT_EQ(civ::FrequencyBytes(145925000), QByteArray::fromHex("0050924501"));
    EXPECT_EQ(civ::FrequencyHz(QByteArray::fromHex("0000071400")), 14070000);
    EXPECT_EQ(civ::FrequencyHz(QByteArray::fromHex("0000001312")), 1213000000); // 1.2 GHz
    EXPECT_FALSE(civ::FrequencyHz(QByteArray::fromHex("00000714")));
    EXPECT_FALSE(civ::FrequencyHz(QByteArray::fromHex("00000a1400")));
    EXPECT_EQ(civ::Level(QByteArray::fromHex("0241")), 241);
    EXPECT_FALSE(civ::Level(QByteArray::fromHex("0256")));

    // Three preamble bytes, a frame in two pieces, noise between frames.
    QByteArray received = QByteArray::fromHex("fefefee0940300");
    EXPECT_FALSE(civ::TakeFrame(received));
    received += QByteArray::fromHex("00107000fd1234fefee094fbfd");
    EXPECT_EQ(civ::TakeFrame(received), QByteArray::fromHex("fefee094030000107000fd"));
    EXPECT_EQ(civ::TakeFrame(received), QByteArray::fromHex("fefee094fbfd"));
    EXPECT_TRUE(received.isEmpty());
    // A frame without its end code is dropped once it is longer than any reply.
    received = QByteArray::fromHex("fefee094") + QByteArray(80, 0x11) +
               QByteArray::fromHex("fefee094fbfd");
    EXPECT_EQ(civ::TakeFrame(received), QByteArray::fromHex("fefee094fbfd"));
}

TEST_F(CivRigTest, itsSwrMeterReadsOnTheMeterMarks_andThePowerIsSetInWattsOfTheModelsMost) {
    ASSERT_TRUE(rig.open(1).ok);
    SwrMeter* meter = rig.swrMeter();
    ASSERT_NE(meter, nullptr);
    std::vector<std::optional<double>> values;
    const auto keep = [&values](std::optional<double> v) { values.push_back(v); };
    for (const int level : {0, 48, 100, 160}) {
        ic7300.swrLevel = level;
        meter->readSwr(keep);
        platform.advance(200);
    }
    ASSERT_EQ(values.size(), 4u);
    EXPECT_DOUBLE_EQ(*values[0], 1.0);
    EXPECT_DOUBLE_EQ(*values[1], 1.5);
    EXPECT_DOUBLE_EQ(*values[2], 2.5);
    EXPECT_DOUBLE_EQ(*values[3], 4.0);

    // 5 W of the IC-7300's 100 W: level 12 (12.75 rounded down, never more than asked).
    values.clear();
    bool set = false;
    meter->setPower(5, [&set](bool ok) { set = ok; });
    platform.advance(200);
    meter->readPower(keep);
    platform.advance(200);
    EXPECT_TRUE(set);
    EXPECT_EQ(ic7300.powerLevel, 12);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_NEAR(*values[0], 4.7, 0.01);
    // Above the model's most: refused, nothing sent.
    meter->setPower(150, [&set](bool ok) { set = ok; });
    EXPECT_FALSE(set);
    EXPECT_EQ(ic7300.powerLevel, 12);
}

TEST_F(CivRigTest, aRunThatEndedKeyed_isReleasedAtTheNextOpening_anOperatorsPttNever) {
    const QString record = dir.path() + "/" + KeyedRecord::FileName;
    rig.keepKeyedRecordIn(dir.path());
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    platform.advance(100);
    ASSERT_TRUE(ic7300.transmitting);
    EXPECT_TRUE(QFile::exists(record)) << "kept while our PTT keys the rig";

    // A later run of the program: a link of its own on a line of its own to the same rig.
    const auto openedOn = [&](ScriptedLine& newLine) {
        newLine.echo = true;
        newLine.rig = line.rig;
        auto opened = std::make_unique<CivRig>(platform, newLine, log);
        opened->keepKeyedRecordIn(dir.path());
        EXPECT_TRUE(opened->open(1).ok);
        platform.advance(100);
        return opened;
    };

    // The run ends here without a word to the rig (a crash, the power gone).
    ScriptedLine nextLine{platform};
    const std::unique_ptr<CivRig> next = openedOn(nextLine);
    EXPECT_TRUE(nextLine.wrote(Hex("fefe94e01c0000fd")));
    EXPECT_FALSE(ic7300.transmitting);
    EXPECT_FALSE(QFile::exists(record));
    next->close();

    // Without the record the rig's PTT is the operator's: opening leaves it keyed.
    ic7300.transmitting = true;
    ScriptedLine operatorsLine{platform};
    const std::unique_ptr<CivRig> third = openedOn(operatorsLine);
    EXPECT_FALSE(operatorsLine.wrote(Hex("fefe94e01c0000fd")));
    EXPECT_TRUE(ic7300.transmitting);
}
