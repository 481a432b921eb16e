// The FT-857 and FT-897 as their CAT descriptions give them: five-byte frames, opcode last; the
// frequency read answered with four BCD bytes (10 Hz, most significant first) and the mode
// byte; one status byte each for receive (S-meter in bits 0..3) and transmit (bit 7 set while
// not transmitting, bit 6 high SWR); one byte of acknowledgement for the PTT and the lock. The
// frames and replies are written out here, not built by the program's encoder.
#include "rig/AwaitReading.h"
#include "rig/CatControl.h"
#include "rig/CatRig.h"
#include "rig/ScriptedSerialLink.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "support/RigTestHelpers.h"
#include "tuning/RigState.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;

namespace {

using test_support::Hex;

class Ft857Ft897Test : public ::testing::TestWithParam<Model> {
protected:
    void SetUp() override {
        state.RigModel = static_cast<core::Integer>(GetParam());
        log.setTerminalShown(true);
        for (const char* acknowledged : {"0000000008", "0000000088", "0000000000", "0000000080"})
            link.answer(acknowledged, Hex("00"));
        link.answer("00000000E7", Hex("09")); // S9
        link.answer("00000000F7", Hex("FF")); // not transmitting
        link.answer("0000000003", Hex("0070500001"));
        ASSERT_TRUE(rig.open(1).ok);
    }
    // The frames sent from the mark on, in hex.
    QStringList sentFrom(std::size_t mark) const {
        QStringList frames;
        for (std::size_t i = mark; i < link.frames.size(); ++i)
            frames << link.frames[i].bytes.toHex();
        return frames;
    }
    std::size_t mark() const { return link.frames.size(); }
    // A reading asked for and given its time.
    RigReading read(void (CatControl::*asked)(CatControl::Told) = &CatControl::ReadRigFrequency) {
        return rig_test::AwaitReading(platform, cat, asked);
    }

    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    rig_test::ScriptedSerialLink link{platform};
    CatControl cat{state, platform, log, link};
    CatRig rig{cat};
    // What the rig shows, as the link tells it.
    tuning::RigState shown{rig};
};

} // namespace

TEST_P(Ft857Ft897Test, opening_sendsNothing_onTwoStopBits) {
    EXPECT_TRUE(sentFrom(0).isEmpty()); // no PTT release, power, CAT-on or delay frame
    EXPECT_EQ(cat.SettingsText(), "4800,N,8,2");
    EXPECT_EQ(rig.rigName(), GetParam() == Model::Ft857 ? "FT857" : "FT897");
    EXPECT_TRUE(rig.capabilities().dialLock);
    EXPECT_FALSE(rig.capabilities().powerSwitch);
    EXPECT_TRUE(rig.capabilities().reportsTransmit);
}

TEST_P(Ft857Ft897Test, reading_frequencyModeSMeterAndTransmitState_modeSentBackWhenItDiffers) {
    cat.setRigModeIndex(2);
    link.answer("0000000003", Hex("0142501201")); // 14250.12 kHz, USB
    std::size_t start = mark();
    RigReading reading = read();
    EXPECT_EQ(reading.kHz, 14250.0f);
    EXPECT_EQ(reading.modeCode, 1);
    EXPECT_EQ(reading.sMeter, 9.0f);
    EXPECT_EQ(reading.transmitting, false);
    EXPECT_EQ(sentFrom(start), QStringList({"0000000003", "00000000e7", "00000000f7"}));

    // FM-N on the rig: its own button, set back on the rig and kept by its code. The check
    // right after is the frequency alone, on the transmit state just read.
    link.answer("0000000003", Hex("4391250088"));
    start = mark();
    reading = read();
    EXPECT_EQ(reading.kHz, 439125.0f);
    EXPECT_EQ(cat.RigModeIndex(), 9);
    EXPECT_EQ(state.RigModeCode, 0x88);
    EXPECT_EQ(sentFrom(start),
              QStringList({"00000000e7", "00000000f7", "0000000003", "8800000007"}));
    start = mark();
    reading = read(&CatControl::CheckRigFrequency);
    EXPECT_EQ(reading.kHz, 439125.0f);
    EXPECT_EQ(reading.transmitting, false);
    EXPECT_EQ(sentFrom(start), QStringList({"0000000003"}));
    link.answer("0000000003", Hex("007074000A")); // DIG is named by its reply too
    read();
    EXPECT_EQ(rig.capabilities().modeNames.at(cat.RigModeIndex() - 1), "DIG");

    // The rig keyed at its own microphone while our PTT is off.
    link.answer("00000000F7", Hex("08"));
    EXPECT_EQ(read().transmitting, true);
    EXPECT_EQ(read(&CatControl::ReadTransmitState).transmitting, true);
}

TEST_P(Ft857Ft897Test, commands_frequencyModeAndLockByTheirFrames_outOfTheRigsRangeNothingIsSent) {
    struct Sent {
        float kHz;
        const char* frame;
    };
    for (const Sent& s :
         {Sent{7050.5f, "0070505001"}, Sent{1810, "0018100001"}, Sent{50150, "0501500001"},
          Sent{144300, "1443000001"}, Sent{439700, "4397000001"}}) {
        const std::size_t start = mark();
        EXPECT_EQ(cat.SetRigFrequency(s.kHz), CatResult::Sent);
        EXPECT_EQ(sentFrom(start), QStringList({s.frame}));
    }
    // Between 6 m and the broadcast band, and above 70 cm: a beep, nothing sent.
    const std::size_t start = mark();
    EXPECT_EQ(cat.SetRigFrequency(60000), CatResult::OutOfRange);
    EXPECT_EQ(cat.SetRigFrequency(470010), CatResult::OutOfRange);
    EXPECT_EQ(platform.beeps.size(), 2u);

    EXPECT_EQ(cat.SetRigMode(9), CatResult::Sent); // FMN
    EXPECT_EQ(cat.SetRigMode(8), CatResult::Sent); // PKT
    EXPECT_EQ(cat.SetRigMode(10), CatResult::NotSent);
    EXPECT_EQ(cat.RigLock(true), CatResult::Sent);
    EXPECT_TRUE(shown.dialLocked());
    EXPECT_EQ(cat.RigLock(false), CatResult::Sent);
    rig_test::AwaitLineIdle(platform, cat); // each frame goes once the rig settled after the last
    EXPECT_EQ(sentFrom(start),
              QStringList({"8800000007", "0c00000007", "0000000000", "0000000080"}));
}

TEST_P(Ft857Ft897Test, ptt_onAndOffByFrame_theTransmitStatusTellsSwrAndARefusal) {
    cat.setRigModeIndex(2);
    std::size_t start = mark();
    EXPECT_EQ(cat.PttOn(), CatResult::Sent);
    link.answer("00000000F7", Hex("48")); // transmitting, high SWR, power 8
    // The PTT's acknowledgement ahead of the frequency reply is not taken for part of it.
    const RigReading reading = read();
    EXPECT_EQ(reading.kHz, 7050.0f);
    EXPECT_EQ(reading.transmitting, true);
    EXPECT_EQ(cat.SwrState(), 1);
    EXPECT_EQ(sentFrom(start), QStringList({"0000000008", "0000000003", "00000000f7"}));

    QSignalSpy inhibited(&cat, &CatControl::transmitInhibited);
    link.answer("00000000F7", Hex("88")); // asked to, but not transmitting
    EXPECT_EQ(read().transmitting, false);
    EXPECT_EQ(inhibited.count(), 1);
    EXPECT_EQ(cat.SwrState(), -1);

    start = mark();
    EXPECT_EQ(cat.PttOff(), CatResult::Sent);
    EXPECT_EQ(sentFrom(start), QStringList({"0000000088"}));
}

TEST_P(Ft857Ft897Test, faults_silenceGarbageAndAHalfReplyGiveNoReadingNeverAWrongOne) {
    cat.setRigModeIndex(2);
    for (const char* bad : {"007050", "A5A5A5A5A5", "9900000001"}) { // half, not BCD, beyond
        SCOPED_TRACE(bad);
        link.answerOnce("0000000003", Hex(bad));
        EXPECT_FALSE(read().kHz);
        EXPECT_EQ(shown.frequencyText(), "-----.- kHz");
        EXPECT_EQ(cat.CatFrequency(), 0.0f);
    }
    EXPECT_TRUE(log.TerminalBuffer().contains(" RX< 0,112,80 {Just3 Bytes}\r\n"));

    link.setSilent(true);
    const double before = platform.steadyMs();
    const RigReading silent = read();
    EXPECT_FALSE(silent.kHz);
    EXPECT_FALSE(silent.sMeter);
    EXPECT_FALSE(silent.transmitting);
    // The frequency and the receive status asked once each, each given up within its bound.
    EXPECT_LT(platform.steadyMs() - before, 2 * (RigLatencyMarginMs + 20));
    link.setSilent(false);
    EXPECT_EQ(read().kHz, 7050.0f);
}

INSTANTIATE_TEST_SUITE_P(BothRigs, Ft857Ft897Test, ::testing::Values(Model::Ft857, Model::Ft897),
                         [](const ::testing::TestParamInfo<Model>& info) {
                             return Caps(info.param).name.toStdString();
                         });
