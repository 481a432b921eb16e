#include "rig/CatControl.h"

#include "rig/AwaitReading.h"
#include "rig/CatRig.h"
#include "rig/SimulatedRig.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "support/RigTestHelpers.h"
#include "tuning/RigState.h"

#include <QFile>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;
using testing_support::FakePlatform;

namespace {

using test_support::Hex;

class CatControlTest : public ::testing::Test {
protected:
    void SetUp() override { log.setTerminalShown(true); }

    void open(Model model, int baud = 4800) {
        state.RigModel = static_cast<core::Integer>(model);
        state.BaudRate = baud;
        rig.rig().setModel(model);
        ASSERT_TRUE(cat.OpenPort(1).ok);
    }
    // The frames the rig received from the mark on, in hex.
    QStringList framesFrom(std::size_t mark) const {
        QStringList frames;
        const auto& all = rig.rig().framesReceived();
        for (std::size_t i = mark; i < all.size(); ++i)
            frames << all[i].toHex();
        return frames;
    }
    std::size_t mark() const { return rig.rig().framesReceived().size(); }
    bool logged(const QString& text) const { return log.TerminalBuffer().contains(text); }
    // Readings asked for and given their time.
    RigReading read() {
        return rig_test::AwaitReading(platform, cat, &CatControl::ReadRigFrequency);
    }
    RigReading checkFrequency() {
        return rig_test::AwaitReading(platform, cat, &CatControl::CheckRigFrequency);
    }
    std::optional<float> sMeter() { return rig_test::AwaitSMeter(platform, cat); }

    QTemporaryDir dir;
    FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    SimulatedRig rig{platform};
    CatControl cat{state, platform, log, rig, dir.path()};
    // What the rig shows, as the link tells it.
    CatRig link{cat};
    tuning::RigState shown{link};
};

} // namespace

TEST_F(CatControlTest, eachModel_readsItsDialAndTheTransmitStateWhereTheRigReportsIt) {
    struct Case {
        Model model;
        double dial;
        float kHz;
        bool reportsTransmit;
    };
    const Case cases[] = {{Model::Ft757GXII, 14112.8, 14113, false},
                          {Model::Ft817, 7050.5, 7050, true}, // 7050.5 rounds half to even
                          {Model::Ft840, 7009.36, 7009, true},
                          {Model::Ft847, 144300, 144300, true},
                          {Model::Ft857, 144300, 144300, true},
                          {Model::Ft897, 3573.5, 3574, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Caps(c.model).name.toStdString());
        open(c.model);
        rig.rig().setFrequency(c.dial);
        rig.rig().setSMeter(9);
        const RigReading reading = read();
        EXPECT_EQ(reading.kHz, c.kHz);
        EXPECT_EQ(cat.CatFrequency(), c.kHz);
        EXPECT_EQ(reading.sMeter, 9.0f);
        rig.rig().setTransmit(true); // the rig's own PTT, ours is off
        const std::optional<bool> transmitting = read().transmitting;
        rig.rig().setTransmit(false);
        EXPECT_EQ(transmitting, c.reportsTransmit ? std::optional(true) : std::nullopt);
        EXPECT_EQ(read().transmitting, c.reportsTransmit ? std::optional(false) : std::nullopt);
        // Our PTT on, but the rig refuses to transmit: told, so the PTT is released.
        rig.rig().setTransmitInhibit(true);
        QSignalSpy inhibited(&cat, &CatControl::transmitInhibited);
        cat.PttOn();
        read();
        cat.PttOff();
        rig.rig().setTransmitInhibit(false);
        EXPECT_EQ(inhibited.count() > 0, c.reportsTransmit);
    }
    EXPECT_EQ(shown.frequencyText(), "-----.- kHz"); // BCD models leave the label to the poll
    open(Model::Ft840);
    rig.rig().setFrequency(7009.36);
    read();
    EXPECT_EQ(shown.frequencyText(), "7009.36 kHz");
}

TEST_F(CatControlTest, ft817ReadCycle_modeSentBackThenReceiveAndTransmitStatus) {
    open(Model::Ft817);
    rig.rig().setModeCode(8); // FM
    const std::size_t start = mark();
    EXPECT_EQ(read().modeCode, 8);
    EXPECT_EQ(cat.RigModeIndex(), 6);
    EXPECT_EQ(state.RigModeCode, 8);
    EXPECT_EQ(cat.SwrState(), -1);
    EXPECT_EQ(framesFrom(start),
              QStringList({"0000000003", "0800000007", "00000000e7", "00000000f7"}));
    EXPECT_TRUE(logged(" RX< 0,112,80,0,8 {Freq}\r\n12:00:00 TX> 8,0,0,0,7 {Set mode}\r\n"));

    // The same mode: nothing sent back. Once a frequency is known, the statuses come first.
    const std::size_t again = mark();
    read();
    EXPECT_EQ(framesFrom(again), QStringList({"00000000e7", "00000000f7", "0000000003"}));
}

TEST_F(CatControlTest, aModeSentBackDuringAReading_theLineRestsWhileEventsRun) {
    open(Model::Ft817);
    rig.rig().setModeCode(8); // FM, not the button selected
    std::optional<RigReading> told;
    const std::size_t start = mark();
    cat.ReadRigFrequency([&](const RigReading& reading) { told = reading; });
    for (int ms = 0; ms < 1000 && framesFrom(start).size() < 2; ++ms)
        platform.advance(1);
    ASSERT_EQ(framesFrom(start), QStringList({"0000000003", "0800000007"}));
    const int yields = platform.yields;
    platform.advance(FrameSettleMs - 5);
    EXPECT_GT(platform.yields, yields); // nothing held the clock
    EXPECT_TRUE(cat.busy());
    EXPECT_FALSE(told);
    EXPECT_EQ(framesFrom(start).size(), 2); // the rig settles before the next request
    platform.advance(1000);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->modeCode, 8);
    EXPECT_EQ(framesFrom(start),
              QStringList({"0000000003", "0800000007", "00000000e7", "00000000f7"}));
}

TEST_F(CatControlTest, ft817Reading_frequencyLast_theCheckRightAfterIsTheFrequencyAlone) {
    open(Model::Ft817);
    rig.rig().setFrequency(7050);
    read();
    std::size_t start = mark();
    read();
    EXPECT_EQ(framesFrom(start), QStringList({"00000000e7", "00000000f7", "0000000003"}));

    rig.rig().setFrequency(7100);
    EXPECT_EQ(read().kHz, 7100.0f);
    start = mark();
    RigReading check = checkFrequency();
    EXPECT_EQ(check.kHz, 7100.0f);
    EXPECT_EQ(check.transmitting, false);
    EXPECT_EQ(framesFrom(start), QStringList({"0000000003"}));
    start = mark(); // a second check has no fresh transmit state of its own: it is whole
    EXPECT_EQ(checkFrequency().transmitting, false);
    EXPECT_EQ(framesFrom(start), QStringList({"00000000e7", "00000000f7", "0000000003"}));

    // The rig keyed on its own: the check carries that, and nothing may turn.
    rig.rig().setFrequency(7120);
    rig.replaceNextReply(Hex("08"), 0xF7);
    read();
    EXPECT_EQ(checkFrequency().transmitting, true);

    // A check that comes late, or after our PTT was switched, reads the transmit state anew.
    read();
    platform.advance(CheckableTransmitAgeMs + 1);
    start = mark();
    checkFrequency();
    EXPECT_EQ(framesFrom(start), QStringList({"00000000e7", "00000000f7", "0000000003"}));
    read();
    cat.PttOn();
    cat.PttOff();
    start = mark();
    checkFrequency();
    EXPECT_EQ(framesFrom(start), QStringList({"00000000e7", "00000000f7", "0000000003"}));

    // A silent receive status leaves no frequency, which is then not asked for.
    start = mark();
    rig.replaceNextReply(QByteArray(), 0xE7);
    EXPECT_FALSE(read().kHz);
    EXPECT_EQ(framesFrom(start), QStringList({"00000000e7"}));
    start = mark(); // no transmit state to take: whole, the frequency first as after opening
    EXPECT_EQ(checkFrequency().kHz, 7120.0f);
    EXPECT_EQ(framesFrom(start), QStringList({"0000000003", "00000000e7", "00000000f7"}));

    // Our PTT on: the frequency and the transmit status.
    cat.PttOn();
    rig.rig().setFrequency(7150);
    start = mark();
    EXPECT_EQ(read().kHz, 7150.0f);
    EXPECT_EQ(framesFrom(start), QStringList({"0000000003", "00000000f7"}));
    cat.PttOff();

    // One lost transmit status is no reading: nothing may turn on a transmit state unknown.
    rig.replaceNextReply(QByteArray(), 0xF7);
    EXPECT_FALSE(read().kHz);
    EXPECT_TRUE(cat.transmitReported());
    EXPECT_FALSE(checkFrequency().transmitting.value_or(true)); // whole, answered

    // A rig that does not answer it while receiving, found after a few readings in a row: its
    // readings go on without it, and its check is the frequency alone, telling no transmit state.
    for (int i = 0; i < SilentTransmitStatusesLearned; ++i) {
        ASSERT_TRUE(cat.transmitReported());
        rig.replaceNextReply(QByteArray(), 0xF7);
        EXPECT_EQ(read().kHz.has_value(), i + 1 == SilentTransmitStatusesLearned);
    }
    ASSERT_FALSE(cat.transmitReported());
    start = mark();
    check = checkFrequency();
    EXPECT_EQ(check.kHz, 7150.0f);
    EXPECT_FALSE(check.transmitting);
    EXPECT_EQ(framesFrom(start), QStringList({"0000000003"}));
}

TEST_F(CatControlTest, ft847_catOnAfterOpeningNoDialLockAndCatOffAfterPttOffAtClose) {
    open(Model::Ft847, 9600);
    EXPECT_EQ(framesFrom(0), QStringList({"0000000000"}));
    EXPECT_TRUE(rig.rig().catOn());
    EXPECT_EQ(cat.RigLock(false), CatResult::NotSent);
    EXPECT_EQ(cat.RigLock(true), CatResult::NotSent);
    EXPECT_EQ(framesFrom(0).size(), 1);

    cat.setRigModeIndex(2);
    cat.PttOn();
    rig.rig().setHighSwr(true);
    const std::size_t start = mark();
    EXPECT_EQ(read().transmitting, true);
    EXPECT_EQ(framesFrom(start), QStringList({"0000000003", "00000000f7"}));
    EXPECT_EQ(cat.SwrState(), 1);

    const std::size_t closing = mark();
    EXPECT_TRUE(cat.ClosePort());
    EXPECT_EQ(framesFrom(closing), QStringList({"0000000088", "0000000080"}));
    EXPECT_FALSE(rig.rig().transmitting());
    EXPECT_FALSE(rig.rig().catOn());
}

TEST_F(CatControlTest, modeButtons_sendTheRigsOwnCodesAndNothingForAModeCatCannotSet) {
    open(Model::Ft817);
    EXPECT_EQ(cat.SetRigMode(8), CatResult::Sent); // "DIG"
    EXPECT_EQ(rig.rig().modeCode(), 0x0A);
    EXPECT_EQ(cat.SetRigMode(9), CatResult::Sent); // "PKT"
    rig_test::AwaitLineIdle(platform, cat);        // once the rig settled after "DIG"
    EXPECT_EQ(rig.rig().modeCode(), 0x0C);
    const std::size_t start = mark();
    EXPECT_EQ(cat.SetRigMode(7), CatResult::NotSent); // "WFM"
    EXPECT_EQ(cat.RigModeIndex(), 9);
    EXPECT_TRUE(framesFrom(start).isEmpty());

    open(Model::Ft847);
    cat.SetRigMode(10);
    EXPECT_EQ(rig.rig().modeCode(), 0x88);
    EXPECT_EQ(state.RigModeCode, 58); // the code its button is found by

    open(Model::Ft840);
    cat.SetRigMode(7);
    EXPECT_EQ(rig.rig().modeCode(), 6);
    EXPECT_EQ(cat.SetRigMode(8), CatResult::NotSent); // beyond the FT-840's modes
    EXPECT_EQ(cat.RigModeIndex(), 7);
    const double before = platform.steadyMs();
    EXPECT_EQ(cat.RigLock(true), CatResult::Sent);
    EXPECT_FALSE(rig.rig().locked()); // the rig settles after the mode first
    rig_test::AwaitLineIdle(platform, cat);
    EXPECT_TRUE(rig.rig().locked());
    EXPECT_GE(platform.steadyMs() - before, FrameSettleMs);
}

TEST_F(CatControlTest, strayBytes_aLateAcknowledgementOrAnEchoDoNotSpoilTheReading) {
    open(Model::Ft817);
    cat.setRigModeIndex(1);
    rig.rig().setModeCode(0);
    rig.rig().setFrequency(144300);
    // The PTT's acknowledgement ahead of 14 43 00 00 00 would read as 1443 kHz.
    ASSERT_EQ(cat.PttOn(), CatResult::Sent);
    EXPECT_EQ(read().kHz, 144300.0f);
    cat.PttOff();

    rig.setEcho(true);
    for (const Model model : {Model::Ft817, Model::Ft840}) {
        SCOPED_TRACE(Caps(model).name.toStdString());
        open(model);
        rig.rig().setFrequency(7123.45);
        rig.rig().setSMeter(7);
        for (int poll = 0; poll < 2; ++poll) {
            const RigReading reading = read();
            EXPECT_EQ(reading.kHz, 7123.0f);
            EXPECT_EQ(reading.sMeter, 7.0f);
        }
    }
}

TEST_F(CatControlTest, silentRig_noReadingWithinTheBoundOnEveryModel) {
    for (const Model model :
         {Model::Ft757GXII, Model::Ft817, Model::Ft840, Model::Ft847, Model::Ft857, Model::Ft897}) {
        SCOPED_TRACE(Caps(model).name.toStdString());
        open(model);
        cat.SendCatDelay(); // the FT-757GXII's paced replies must not lengthen a silent wait
        rig.setSilent(true);
        platform.advance(1000); // the first poll
        const double before = platform.steadyMs();
        EXPECT_FALSE(read().kHz);
        const double waited = platform.steadyMs() - before;
        EXPECT_EQ(shown.frequencyText(), "-----.- kHz");
        EXPECT_EQ(cat.CatFrequency(), 0.0f);
        EXPECT_EQ(cat.SwrState(), -1);
        // One or two requests, each given up after the first byte's time.
        EXPECT_GE(waited, RigLatencyMarginMs);
        EXPECT_LT(waited, 2 * (RigLatencyMarginMs + 20));
        rig.setSilent(false);
    }
}

TEST_F(CatControlTest, damagedOrShortReply_givesNoReadingNeverAWrongValue) {
    open(Model::Ft817);
    cat.setRigModeIndex(2);
    rig.replaceNextReply(Hex("00705A5001"));
    EXPECT_FALSE(read().kHz);
    EXPECT_EQ(shown.frequencyText(), "-----.- kHz");
    EXPECT_EQ(shown.sMeter(), 5.0f);         // the status after it is still read
    rig.replaceNextReply(Hex("0000000001")); // a zero frequency is no frequency
    EXPECT_FALSE(read().kHz);
    rig.replaceNextReply(Hex("007050"));
    EXPECT_FALSE(read().kHz);
    EXPECT_TRUE(logged(" RX< 0,112,80 {Just3 Bytes}\r\n"));

    open(Model::Ft840);
    rig.rig().setLocked(true);
    rig.replaceNextReply(Hex("010100"), 0xFA); // a short status: no lock taken from it
    EXPECT_EQ(read().kHz, 7050.0f);
    EXPECT_FALSE(shown.dialLocked());
    // The rig's transmit flag is bit 7 of the third flag byte; bit 0 of the second, which the
    // rig may set while receiving, is not it.
    rig.replaceNextReply(Hex("0001000000"), 0xFA);
    EXPECT_EQ(read().transmitting, false);
    rig.replaceNextReply(Hex("0000800000"), 0xFA);
    EXPECT_EQ(read().transmitting, true);
    rig.replaceNextReply(Hex("09"), 0xF7); // a short meter reply still gives its first byte
    EXPECT_EQ(read().sMeter, 9.0f);
    rig.replaceNextReply(QByteArray(19, '\xFF'));
    EXPECT_FALSE(read().kHz);
}

TEST_F(CatControlTest, lateReply_leftoverBytesDoNotCorruptTheNextRead) {
    open(Model::Ft817);
    cat.setRigModeIndex(2);
    rig.setLatencyMs(300); // longer than the bound: the reply comes after it was given up
    EXPECT_FALSE(read().kHz);
    platform.advance(1000); // the next poll; the late replies have arrived meanwhile
    rig.setLatencyMs(10);
    rig.rig().setFrequency(14250);
    EXPECT_EQ(read().kHz, 14250.0f);
    EXPECT_EQ(shown.sMeter(), 5.0f);
}

TEST_F(CatControlTest, outOfRangeFrequency_beepsAndSendsNothing) {
    struct Case {
        Model model;
        float inside;
        float outside;
        const char* frame;
    };
    const Case cases[] = {
        {Model::Ft757GXII, 150, 149, "005001000a"}, {Model::Ft817, 432100, 200000, "4321000001"},
        {Model::Ft840, 30000, 30001, "000000030a"}, {Model::Ft847, 50100, 36995, "0501000001"},
        {Model::Ft857, 1810, 60000, "0018100001"},  {Model::Ft897, 470000, 470010, "4700000001"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Caps(c.model).name.toStdString());
        open(c.model);
        if (c.model == Model::Ft817) {
            cat.ToggleFT817Power();
            rig_test::AwaitLineIdle(platform, cat);
        }
        const std::size_t start = mark();
        const std::size_t beeps = platform.beeps.size();
        EXPECT_EQ(cat.SetRigFrequency(c.outside), CatResult::OutOfRange);
        EXPECT_EQ(platform.beeps.size(), beeps + 1);
        EXPECT_TRUE(framesFrom(start).isEmpty());
        EXPECT_EQ(cat.SetRigFrequency(c.inside), CatResult::Sent);
        EXPECT_EQ(framesFrom(start), QStringList({c.frame}));
        EXPECT_EQ(rig.rig().frequency(), c.inside);
    }
    // The simulated dial keeps to the same range.
    open(Model::Ft757GXII);
    rig.rig().turnDial(-1e6);
    EXPECT_EQ(rig.rig().frequency(), 150);
}

TEST_F(CatControlTest, ft757PacedRead_theEventLoopRunsAndNothingElseTalksToTheRigMeanwhile) {
    open(Model::Ft757GXII);
    ASSERT_EQ(cat.SendCatDelay(), CatResult::Sent);
    rig.rig().setFrequency(14112.8);
    cat.PttOn();
    RigReading during;
    CatResult setDuring = CatResult::Sent;
    bool closedAtOnce = true;
    platform.scheduleAfter(2000, [&] { // about half way through the 75 paced bytes
        EXPECT_TRUE(cat.busy());
        during = read();
        setDuring = cat.SetRigFrequency(7050);
        closedAtOnce = cat.ClosePort();
        EXPECT_FALSE(rig.rig().transmitting()); // the PTT is released at once
        EXPECT_TRUE(rig.isOpen());
    });
    const std::size_t start = mark();
    const RigReading reading = read();
    EXPECT_TRUE(during.busy);
    EXPECT_EQ(setDuring, CatResult::Busy);
    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(reading.kHz, 14113.0f); // the read under way ends normally
    EXPECT_EQ(framesFrom(start), QStringList({"0000000010", "0000000110"}));
    EXPECT_FALSE(rig.isOpen()); // and the close follows it
    EXPECT_FALSE(cat.busy());
    EXPECT_TRUE(logged("RTS=on DTR=off\r\n"));
}

TEST_F(CatControlTest, duringAReading_thePttGoesAfterTheReplyOnTheLine_commandsAfterTheReading) {
    open(Model::Ft817);
    cat.ToggleFT817Power();
    rig.rig().setFrequency(7050);
    ASSERT_EQ(read().kHz, 7050.0f); // a frequency known: the statuses come first
    std::optional<RigReading> told;
    const std::size_t start = mark();
    cat.ReadRigFrequency([&](const RigReading& reading) { told = reading; });
    EXPECT_TRUE(cat.busy());
    EXPECT_FALSE(told);
    EXPECT_TRUE(read().busy); // a second reading is refused at once
    EXPECT_EQ(cat.PttOff(), CatResult::Sent);
    EXPECT_EQ(cat.SetRigFrequency(7100), CatResult::Sent);
    EXPECT_EQ(cat.SetRigFrequency(200000), CatResult::OutOfRange); // told at once, as ever
    EXPECT_EQ(framesFrom(start), QStringList({"00000000e7"}));
    platform.advance(1000);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->kHz, 7050.0f); // its acknowledgement did not spoil the replies after it
    EXPECT_EQ(told->sMeter, 5.0f);
    EXPECT_EQ(framesFrom(start),
              QStringList({"00000000e7", "0000000088", "00000000f7", "0000000003", "0071000001"}));
    EXPECT_EQ(rig.rig().frequency(), 7100);
    EXPECT_FALSE(cat.busy());
}

TEST_F(CatControlTest, commandsTakeTheirTurnsAfterTheRigSettled_thePttNeverWaits) {
    open(Model::Ft817);
    rig.rig().setFrequency(7050);
    const std::size_t start = mark();
    EXPECT_EQ(cat.SetRigMode(1), CatResult::Sent); // written at once
    EXPECT_EQ(cat.RigLock(true), CatResult::Sent); // in its turn, once the rig settled
    std::optional<RigReading> told;
    cat.ReadRigFrequency([&](const RigReading& reading) { told = reading; });
    EXPECT_EQ(cat.PttOn(), CatResult::Sent); // ahead of everything waiting
    EXPECT_TRUE(rig.rig().transmitting());
    ASSERT_EQ(framesFrom(start).size(), 2);
    EXPECT_EQ(framesFrom(start)[1], "0000000008");
    platform.advance(FrameSettleMs - 1);
    EXPECT_EQ(framesFrom(start).size(), 2);
    EXPECT_FALSE(rig.rig().locked());
    platform.advance(1);
    EXPECT_TRUE(rig.rig().locked());
    platform.advance(FrameSettleMs - 1); // the reading waits for the rig too
    EXPECT_EQ(framesFrom(start).size(), 3);
    EXPECT_FALSE(told);
    platform.advance(1000);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->kHz, 7050.0f);
    EXPECT_EQ(told->transmitting, true);
    EXPECT_FALSE(cat.busy());

    // What still waits for its turn when the link closes is not sent; the PTT is released.
    EXPECT_EQ(cat.SetRigMode(2), CatResult::Sent);
    EXPECT_EQ(cat.RigLock(false), CatResult::Sent);
    const std::size_t closing = mark();
    EXPECT_TRUE(cat.ClosePort());
    EXPECT_EQ(framesFrom(closing), QStringList({"0000000088"}));
    platform.advance(1000);
    EXPECT_EQ(framesFrom(closing).size(), 1);
    EXPECT_TRUE(rig.rig().locked());
    ASSERT_TRUE(cat.OpenPort(1).ok);
    EXPECT_TRUE(cat.lineIdle()); // a new line owes nothing from the last
}

TEST_F(CatControlTest, aCloseDuringAReadingOfShortExchanges_closesAtOnce_theReadingToldEmpty) {
    open(Model::Ft847, 9600);
    rig.rig().setFrequency(144300);
    ASSERT_EQ(read().kHz, 144300.0f);
    cat.PttOn();
    std::optional<RigReading> told;
    const std::size_t start = mark();
    cat.ReadRigFrequency([&](const RigReading& reading) { told = reading; });
    QSignalSpy closed(&cat, &CatControl::portClosed);
    EXPECT_TRUE(cat.ClosePort());
    ASSERT_TRUE(told);
    EXPECT_FALSE(told->kHz);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(rig.isOpen());
    EXPECT_FALSE(cat.busy());
    // The request on the line, then our PTT released and CAT switched off; nothing else.
    EXPECT_EQ(framesFrom(start), QStringList({"0000000003", "0000000088", "0000000080"}));
    EXPECT_FALSE(rig.rig().transmitting());
    platform.advance(1000);
    ASSERT_TRUE(cat.OpenPort(1).ok); // and it opens again at once
}

TEST_F(CatControlTest, openAndClose_linesLowAtOnceAndThePttReleasedFirst) {
    open(Model::Ft757GXII); // opening raised both lines
    EXPECT_FALSE(rig.dtr());
    EXPECT_TRUE(rig.rts()); // its interface's supply
    EXPECT_FALSE(rig.rig().transmitting());
    cat.PttOn();
    EXPECT_TRUE(rig.rig().transmitting());
    EXPECT_TRUE(cat.ClosePort());
    EXPECT_EQ(log.TerminalBuffer(), "RTS=on DTR=on\r\nRTS=on DTR=off\r\n");
    EXPECT_TRUE(rig.written().isEmpty());

    open(Model::Ft840, 9600);
    EXPECT_FALSE(rig.dtr());
    EXPECT_FALSE(rig.rts());
    EXPECT_EQ(rig.settings()->stopBits, 2);
    cat.PttOn();
    ASSERT_TRUE(rig.rig().transmitting());
    QSignalSpy closed(&cat, &CatControl::portClosed);
    const std::size_t start = mark();
    cat.ClosePort();
    EXPECT_EQ(framesFrom(start), QStringList({"000000000f"}));
    EXPECT_FALSE(rig.rig().transmitting());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(cat.pttOn());
}

TEST_F(CatControlTest, theRigsOwnPttIsNeverReleased_onlyOneThatOurRunLeftKeyed) {
    // The operator transmits on the rig's own PTT: neither opening nor closing unkeys it.
    rig.rig().setTransmit(true);
    const std::size_t start = mark();
    open(Model::Ft817);
    cat.ClosePort();
    open(Model::Ft847);
    cat.ClosePort();
    EXPECT_EQ(framesFrom(start), QStringList({"0000000000", "0000000080"})); // CAT on and off
    rig.rig().setTransmit(false);

    // A run that ends while our PTT keys the rig (a crash during a tune) leaves its record:
    // the next opening of that line releases the PTT, once.
    open(Model::Ft817);
    cat.PttOn();
    const QString record = dir.filePath(QString::fromLatin1(KeyedRecord::FileName));
    EXPECT_TRUE(QFile::exists(record));
    rig.close(); // the run ends without closing the port
    CatControl nextRun{state, platform, log, rig, dir.path()};
    const std::size_t next = mark();
    ASSERT_TRUE(nextRun.OpenPort(1).ok);
    EXPECT_EQ(framesFrom(next), QStringList({"0000000088"}));
    EXPECT_FALSE(rig.rig().transmitting());
    EXPECT_FALSE(QFile::exists(record));
    nextRun.ClosePort();
    ASSERT_TRUE(nextRun.OpenPort(1).ok);
    nextRun.PttOn();
    nextRun.PttOff(); // released: nothing left for the next opening
    nextRun.ClosePort();
    const std::size_t last = mark();
    ASSERT_TRUE(nextRun.OpenPort(1).ok);
    EXPECT_TRUE(framesFrom(last).isEmpty());
}

TEST_F(CatControlTest, ft817Power_wakeUpThenPowerFramesThenLockOffOnlyOnThisModel) {
    open(Model::Ft817);
    rig.rig().setPowered(false);
    cat.PttOn();
    QSignalSpy switched(&cat, &CatControl::ft817PowerSwitched);
    const std::size_t start = mark();
    const double before = platform.steadyMs();
    cat.ToggleFT817Power();
    EXPECT_TRUE(cat.ft817On());
    EXPECT_FALSE(cat.pttOn());
    // The PTT released and the wake-up at once; each frame after them once the rig settled.
    EXPECT_EQ(framesFrom(start), QStringList({"0000000088", "0000000000"}));
    platform.advance(50 + 50 + 200 - 1);
    EXPECT_EQ(framesFrom(start).size(), 3);
    rig_test::AwaitLineIdle(platform, cat);
    EXPECT_TRUE(rig.rig().powered());
    EXPECT_FALSE(rig.rig().locked());
    EXPECT_EQ(framesFrom(start),
              QStringList({"0000000088", "0000000000", "000000000f", "0000000080"}));
    EXPECT_GE(platform.steadyMs() - before, 50 + 50 + 200 + 50);
    ASSERT_EQ(switched.count(), 1);
    EXPECT_TRUE(switched[0][0].toBool());

    // A single missed status reply is no reading: nothing more is sent, the rig stays on.
    rig.rig().setFrequency(7050);
    const std::size_t missed = mark();
    rig.replaceNextReply(QByteArray(), 0xE7);
    const RigReading silent = read();
    EXPECT_FALSE(silent.kHz);
    EXPECT_EQ(shown.frequencyText(), "-----.- kHz");
    EXPECT_EQ(framesFrom(missed).last(), "00000000e7"); // no wake-up, no power-off frame
    EXPECT_TRUE(cat.ft817On());
    EXPECT_TRUE(rig.rig().powered());
    EXPECT_EQ(shown.sMeter(), 0.0f);

    for (const Model model :
         {Model::Ft757GXII, Model::Ft840, Model::Ft847, Model::Ft857, Model::Ft897}) {
        open(model);
        const std::size_t other = mark();
        cat.ToggleFT817Power();
        EXPECT_TRUE(framesFrom(other).isEmpty());
        EXPECT_FALSE(cat.ft817On());
    }
}

TEST_F(CatControlTest, aModelValueOutsideTheKnownOnes_writesNothingWhateverIsAsked) {
    for (const core::Integer value : {0, 7, -1}) {
        open(ToModel(value));
        EXPECT_FALSE(read().kHz);
        EXPECT_FALSE(sMeter());
        EXPECT_EQ(cat.SetRigFrequency(7050), CatResult::NotSent);
        cat.SetRigMode(1);
        cat.PttOn();
        cat.PttOff();
        cat.RigLock(true);
        cat.ToggleFT817Power();
        cat.SendCatDelay();
        cat.ClosePort();
    }
    EXPECT_TRUE(rig.written().isEmpty());
    EXPECT_TRUE(platform.beeps.empty());
}

TEST_F(CatControlTest, closedPort_operationsKeepStateButSendNothing) {
    state.RigModel = static_cast<core::Integer>(Model::Ft817);
    EXPECT_FALSE(read().kHz);
    EXPECT_EQ(cat.SetRigFrequency(999999), CatResult::NotSent);
    EXPECT_TRUE(platform.beeps.empty());
    cat.PttOn();
    EXPECT_TRUE(cat.pttOn());
    cat.RigLock(true);
    EXPECT_TRUE(shown.dialLocked());
    EXPECT_TRUE(rig.written().isEmpty());
    EXPECT_TRUE(log.TerminalBuffer().isEmpty());
}

TEST_F(CatControlTest, aLineThatCannotBeWritten_isReopenedByItself_andOurPttReleasedThere) {
    open(Model::Ft817);
    rig.rig().setFrequency(7050);
    ASSERT_EQ(read().kHz, 7050.0f);
    EXPECT_EQ(cat.PttOn(), CatResult::Sent);
    rig.failWrites(true); // the adapter re-enumerates
    rig.failNextOpen(QStringLiteral("No such file or directory"));
    EXPECT_EQ(cat.PttOff(), CatResult::WriteFailed);
    EXPECT_TRUE(cat.lineLost());
    EXPECT_TRUE(cat.linkKept());
    EXPECT_FALSE(cat.portOpen());
    // Meanwhile nothing is sent and readings carry nothing.
    EXPECT_FALSE(read().kHz);
    EXPECT_EQ(cat.SetRigFrequency(7100), CatResult::NotSent);
    platform.advance(CatControl::ReopenMs + 1); // the device is not back yet
    EXPECT_TRUE(cat.lineLost());

    rig.failWrites(false);
    rig.rig().setTransmit(false);
    const std::size_t back = mark();
    platform.advance(CatControl::LongestReopenMs + 1);
    ASSERT_FALSE(cat.lineLost());
    ASSERT_TRUE(cat.portOpen());
    // The release that could not go out goes now; the rig is read again.
    EXPECT_EQ(framesFrom(back), QStringList({"0000000088"}));
    EXPECT_EQ(read().kHz, 7050.0f);
    EXPECT_TRUE(platform.messages.empty()); // nobody had to be told

    // Closed by the user while lost, it is not tried again.
    rig.failWrites(true);
    (void)read();
    ASSERT_TRUE(cat.lineLost());
    EXPECT_TRUE(cat.ClosePort());
    EXPECT_FALSE(cat.linkKept());
    rig.failWrites(false);
    platform.advance(CatControl::LongestReopenMs * 2);
    EXPECT_FALSE(rig.isOpen());
}
