#include "rig/CatControlFixture.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QSignalSpy>

using namespace rig;
using rig_test::CatControlTest;
using test_support::Hex;
using testing_support::FakePlatform;

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
