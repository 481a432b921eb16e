#include "rig/CatControl.h"

#include "rig/CatCodec.h"
#include "rig/SimulatedRig.h"
#include "support/FakePlatform.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;
using testing_support::FakePlatform;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

class CatControlTest : public ::testing::Test {
protected:
    void SetUp() override { log.setTerminalShown(true); }

    void open(Model model, int baud = 4800) {
        state.RigModel = static_cast<core::Integer>(model);
        state.BaudRate = baud;
        rig.rig().setModel(model);
        ASSERT_TRUE(cat.OpenPort(1));
    }
    // The frames the rig received from the mark on, in hex.
    QStringList framesFrom(std::size_t mark) const {
        QStringList frames;
        const auto& all = rig.rig().framesReceived();
        for (std::size_t i = mark; i < all.size(); ++i)
            frames << FrameBytes(all[i]).toHex();
        return frames;
    }
    std::size_t mark() const { return rig.rig().framesReceived().size(); }
    bool logged(const QString& text) const { return log.TerminalBuffer().contains(text); }

    QTemporaryDir dir;
    FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    SimulatedRig rig{platform};
    CatControl cat{state, platform, log, rig};
};

} // namespace

TEST_F(CatControlTest, ft817ReadCycle_frequencyModeSmeterAndStatus) {
    open(Model::Ft817);
    rig.rig().setFrequency(7050.5);
    rig.rig().setModeCode(8); // FM
    rig.rig().setSMeter(9);
    const std::size_t start = mark();

    EXPECT_EQ(cat.ReadRigFrequency(), 7050.0f); // 7050.5 rounds half to even
    EXPECT_EQ(cat.CatFrequency(), 7050.0f);
    EXPECT_EQ(cat.RigModeIndex(), 6);
    EXPECT_EQ(state.RigModeCode, 8);
    EXPECT_EQ(cat.SMeterValue(), 9.0f);
    EXPECT_EQ(cat.SwrState(), -1);
    // The mode the rig reported is selected and sent back before the status is read.
    EXPECT_EQ(framesFrom(start), QStringList({"0000000003", "0800000007", "00000000e7"}));
    EXPECT_TRUE(logged("12:00:00 TX> 0,0,0,0,3 {Ask Freq}\r\n"));
    EXPECT_TRUE(logged(" RX< 0,112,80,80,8 {Freq}\r\n"));
    EXPECT_TRUE(logged(" TX> 8,0,0,0,7 {Set mode}\r\n"));
    EXPECT_TRUE(logged(" RX< 9 {Status}\r\n"));

    // Same mode again: nothing sent back.
    const std::size_t again = mark();
    rig.rig().turnKnob(9);
    EXPECT_EQ(cat.ReadRigFrequency(), 7060.0f); // 7059.5 rounds half to even
    EXPECT_EQ(framesFrom(again), QStringList({"0000000003", "00000000e7"}));
}

TEST_F(CatControlTest, ft847ReadCycle_transmitStatusHasItsOwnOpcode) {
    open(Model::Ft847, 9600);
    cat.setRigModeIndex(2);
    rig.rig().setFrequency(144300);
    rig.rig().setModeCode(1);
    rig.rig().setSMeter(3);
    EXPECT_EQ(cat.ReadRigFrequency(), 144300.0f);
    EXPECT_EQ(cat.SMeterValue(), 3.0f);
    EXPECT_TRUE(logged(" RX< 3,0,0,0,0 {Smeter}\r\n"));

    cat.PttOn();
    rig.rig().setHighSwr(true);
    const std::size_t start = mark();
    cat.ReadRigFrequency();
    EXPECT_EQ(framesFrom(start), QStringList({"0000000003", "000000007f"}));
    EXPECT_EQ(cat.SwrState(), 1);
    EXPECT_EQ(cat.SwrLabelText(), "H-SWR");
}

TEST_F(CatControlTest, ft840ReadCycle_showsHundredthsReturnsWholeKilohertz) {
    open(Model::Ft840);
    rig.rig().setFrequency(7009.36);
    rig.rig().setLocked(true);
    rig.rig().setSMeter(12);
    const std::size_t start = mark();

    EXPECT_EQ(cat.ReadRigFrequency(), 7009.0f);
    EXPECT_EQ(cat.frequencyText(), "7009.36 kHz");
    EXPECT_TRUE(cat.lockChecked());
    EXPECT_EQ(cat.SMeterValue(), 12.0f);
    EXPECT_EQ(cat.SwrState(), -1);
    EXPECT_EQ(framesFrom(start), QStringList({"0200000210", "00000000fa", "00000000f7"}));
    EXPECT_TRUE(logged("{ Freq19 Bytes}"));
    EXPECT_TRUE(logged("{Status}"));

    // While transmitting the status is read once more, and reports the SWR.
    cat.PttOn();
    EXPECT_TRUE(rig.rig().transmitting());
    const std::size_t transmitting = mark();
    cat.ReadRigFrequency();
    EXPECT_EQ(framesFrom(transmitting),
              QStringList({"0200000210", "00000000fa", "00000000f7", "00000000fa"}));
    EXPECT_EQ(cat.SwrState(), 0);
    EXPECT_EQ(cat.SwrLabelText(), "L-SWR");
}

TEST_F(CatControlTest, ft757ReadCycle_pacedStatusBlockThenSmeter) {
    open(Model::Ft757GXII);
    EXPECT_EQ(cat.SettingsText(), "4800,N,8,2");
    cat.SendCatDelay();
    EXPECT_EQ(rig.rig().replyPacingMs(), 50);
    rig.rig().setFrequency(14112.8);
    rig.rig().setLocked(true);
    rig.rig().setSMeter(7);
    const std::size_t start = mark();
    const double before = platform.steadyMs();

    EXPECT_EQ(cat.ReadRigFrequency(), 14113.0f);
    EXPECT_EQ(cat.frequencyText(), "14112.8 kHz");
    EXPECT_TRUE(cat.lockChecked());
    EXPECT_EQ(cat.SMeterValue(), 7.0f);
    EXPECT_EQ(framesFrom(start), QStringList({"0000000010", "0000000110"}));
    EXPECT_TRUE(logged("{Ask Freq 75 Bytes }"));
    EXPECT_TRUE(logged("{75 Bytes}"));
    // The whole paced reply was awaited (74 pauses of 50 ms).
    EXPECT_GT(platform.steadyMs() - before, 74 * 50.0);
}

TEST_F(CatControlTest, silentRig_noReplyWithinTheBoundOnEveryModel) {
    for (const Model model : {Model::Ft757GXII, Model::Ft817, Model::Ft840, Model::Ft847}) {
        SCOPED_TRACE(ModelName(model).toStdString());
        open(model);
        cat.SendCatDelay(); // the FT-757GXII's paced replies must not lengthen a silent wait
        rig.setSilent(true);
        const double before = platform.steadyMs();
        EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
        const double waited = platform.steadyMs() - before;
        EXPECT_EQ(cat.frequencyText(), "-----.- kHz");
        EXPECT_EQ(cat.CatFrequency(), 0.0f);
        EXPECT_EQ(cat.SwrState(), -1);
        // One or two requests (the FT-840 reads no status after a failed read), each given up
        // after the first byte's time: well under a second, and not less than the latency.
        EXPECT_GE(waited, RigLatencyMarginMs);
        EXPECT_LT(waited, 2 * (RigLatencyMarginMs + 20));
        rig.setSilent(false);
    }
}

TEST_F(CatControlTest, silentFt817ThatWasOn_isSwitchedOffAndItsMeterReset) {
    open(Model::Ft817);
    cat.ToggleFT817Power();
    ASSERT_TRUE(cat.ft817On());
    cat.ReadRigFrequency();
    ASSERT_EQ(cat.SMeterValue(), 5.0f);

    rig.setSilent(true);
    QSignalSpy switched(&cat, &CatControl::ft817PowerSwitched);
    const std::size_t start = mark();
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
    EXPECT_FALSE(cat.ft817On());
    EXPECT_EQ(cat.OnOffCaption(), "&FT817 Off");
    EXPECT_EQ(cat.SMeterValue(), 0.0f);
    ASSERT_EQ(switched.count(), 1);
    EXPECT_FALSE(switched[0][0].toBool());
    EXPECT_TRUE(framesFrom(start).isEmpty()); // a silent line delivers nothing
    EXPECT_TRUE(logged("{Switch off}"));
}

TEST_F(CatControlTest, damagedOrShortReply_givesNoReplyNeverAWrongValue) {
    open(Model::Ft817);
    cat.setRigModeIndex(2);
    rig.rig().setModeCode(1);

    rig.replaceNextReply(Hex("00705A5001"));
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
    EXPECT_EQ(cat.frequencyText(), "-----.- kHz");
    EXPECT_EQ(cat.SMeterValue(), 5.0f); // the status after it is still read

    rig.replaceNextReply(Hex("007050"));
    const double before = platform.steadyMs();
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
    EXPECT_LT(platform.steadyMs() - before, 3 * (RigLatencyMarginMs + 20));
    EXPECT_TRUE(logged(" RX< 0,112,80 {Just3 Bytes}\r\n"));

    open(Model::Ft840);
    rig.rig().setLocked(true);
    rig.replaceNextReply(Hex("010100"), 0xFA); // a short status: no lock taken from it
    EXPECT_EQ(cat.ReadRigFrequency(), 7050.0f);
    EXPECT_FALSE(cat.lockChecked());
    EXPECT_EQ(cat.SwrState(), -1);

    QByteArray block(19, '\xFF');
    rig.replaceNextReply(block);
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
    EXPECT_EQ(cat.frequencyText(), "-----.- kHz");
}

TEST_F(CatControlTest, lateReply_leftoverBytesDoNotCorruptTheNextRead) {
    open(Model::Ft817);
    cat.setRigModeIndex(2);
    rig.rig().setModeCode(1);
    rig.setLatencyMs(300); // longer than the bound: the reply comes after it was given up
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);

    platform.advance(1000); // the next poll; the late replies have arrived meanwhile
    rig.setLatencyMs(10);
    rig.rig().setFrequency(14250);
    EXPECT_EQ(cat.ReadRigFrequency(), 14250.0f);
    EXPECT_EQ(cat.SMeterValue(), 5.0f);
}

TEST_F(CatControlTest, outOfRangeFrequency_beepsAndSendsNothing) {
    struct Case {
        Model model;
        float inside;
        float outside;
        const char* frame;
    };
    const Case cases[] = {{Model::Ft757GXII, 29999, 30000, "009999020a"},
                          {Model::Ft817, 432100, 200000, "4321000001"},
                          {Model::Ft840, 30000, 30001, "000000030a"},
                          {Model::Ft847, 50100, 36995, "0501000001"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(ModelName(c.model).toStdString());
        open(c.model);
        if (c.model == Model::Ft817)
            cat.ToggleFT817Power();
        const std::size_t start = mark();
        const std::size_t beeps = platform.beeps.size();
        EXPECT_FALSE(cat.SetRigFrequency(c.outside));
        EXPECT_EQ(platform.beeps.size(), beeps + 1);
        EXPECT_TRUE(framesFrom(start).isEmpty());
        EXPECT_TRUE(cat.SetRigFrequency(c.inside));
        EXPECT_EQ(framesFrom(start), QStringList({c.frame}));
        EXPECT_EQ(rig.rig().frequency(), c.inside);
    }
    EXPECT_TRUE(logged("{Set freq}"));
    EXPECT_TRUE(logged("{Freq}"));
}

TEST_F(CatControlTest, ft817SwitchedOff_frequencyIsNotSent) {
    open(Model::Ft817);
    ASSERT_FALSE(cat.ft817On());
    EXPECT_FALSE(cat.SetRigFrequency(7100));
    EXPECT_TRUE(platform.beeps.empty());
    EXPECT_TRUE(rig.written().isEmpty());
}

TEST_F(CatControlTest, ft857AndFt897_writeNothingWhateverIsAsked) {
    for (const Model model : {Model::Ft857, Model::Ft897}) {
        open(model);
        EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
        EXPECT_EQ(cat.ReadSMeter(), 0.0f);
        EXPECT_FALSE(cat.SetRigFrequency(7050));
        cat.SetRigMode(1);
        cat.ShowRigMode(1);
        cat.PttOn();
        cat.PttOff();
        cat.RigLock(true);
        cat.SwitchFT817(true);
        cat.ToggleFT817Power();
        cat.SendCatDelay();
        cat.ClosePort();
    }
    EXPECT_TRUE(rig.written().isEmpty());
    EXPECT_TRUE(platform.beeps.empty());
}

TEST_F(CatControlTest, closedPort_operationsKeepStateButSendNothing) {
    state.RigModel = static_cast<core::Integer>(Model::Ft817);
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
    EXPECT_FALSE(cat.SetRigFrequency(999999));
    EXPECT_TRUE(platform.beeps.empty());
    cat.SetRigMode(6);
    EXPECT_EQ(cat.RigModeIndex(), 6);
    cat.PttOn();
    EXPECT_EQ(cat.PttCaption(), "&PTT on");
    cat.RigLock(true);
    EXPECT_TRUE(cat.lockChecked());
    EXPECT_TRUE(rig.written().isEmpty());
    EXPECT_TRUE(log.TerminalBuffer().isEmpty());
}

TEST_F(CatControlTest, ft757Ptt_isTheDtrLineWithRtsHeldOn) {
    open(Model::Ft757GXII);
    EXPECT_FALSE(rig.rts());
    EXPECT_FALSE(rig.dtr());
    cat.PttOn();
    EXPECT_TRUE(rig.rts());
    EXPECT_TRUE(rig.dtr());
    EXPECT_TRUE(rig.rig().transmitting());
    EXPECT_EQ(log.TerminalBuffer(), "RTS=on DTR=on\r\n");
    cat.PttOff();
    EXPECT_TRUE(rig.rts());
    EXPECT_FALSE(rig.dtr());
    EXPECT_FALSE(rig.rig().transmitting());
    EXPECT_EQ(log.TerminalBuffer(), "RTS=on DTR=on\r\nRTS=on DTR=off\r\n");
    EXPECT_TRUE(rig.written().isEmpty());
}

TEST_F(CatControlTest, transmitInhibit_isReportedSoThePttIsReleased) {
    for (const Model model : {Model::Ft817, Model::Ft840, Model::Ft847}) {
        SCOPED_TRACE(ModelName(model).toStdString());
        open(model);
        if (model == Model::Ft817)
            cat.ToggleFT817Power();
        rig.rig().setTransmitInhibit(true);
        QSignalSpy inhibited(&cat, &CatControl::transmitInhibited);
        cat.PttOn();
        EXPECT_FALSE(rig.rig().transmitting());
        cat.ReadRigFrequency();
        EXPECT_GE(inhibited.count(), 1);
        EXPECT_EQ(cat.SwrState(), -1);
        cat.PttOff();
        rig.rig().setTransmitInhibit(false);
    }
}

TEST_F(CatControlTest, ft817Power_wakeUpThenPowerFramesWithTheirWaits) {
    open(Model::Ft817);
    rig.rig().setPowered(false);
    cat.PttOn();
    cat.RigLock(true);
    QSignalSpy switched(&cat, &CatControl::ft817PowerSwitched);
    const std::size_t start = mark();
    const double before = platform.steadyMs();

    cat.ToggleFT817Power();
    EXPECT_EQ(cat.OnOffCaption(), "&FT817 On");
    EXPECT_EQ(cat.PttCaption(), "&PTT off");
    EXPECT_FALSE(cat.lockChecked());
    EXPECT_TRUE(rig.rig().powered());
    EXPECT_FALSE(rig.rig().locked());
    EXPECT_EQ(framesFrom(start), QStringList({"0000000000", "000000000f", "0000000080"}));
    EXPECT_GE(platform.steadyMs() - before, 50 + 50 + 200 + 50);
    ASSERT_EQ(switched.count(), 1);
    EXPECT_TRUE(switched[0][0].toBool());
    EXPECT_TRUE(logged("{Reset}"));
    EXPECT_TRUE(logged("{Switch on}"));
    EXPECT_TRUE(logged("{Lock off}"));

    cat.ToggleFT817Power();
    EXPECT_EQ(cat.OnOffCaption(), "&FT817 Off");
    EXPECT_FALSE(rig.rig().powered());
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f); // switched off it says nothing
}

TEST_F(CatControlTest, lockAndMode_framesReachTheRig) {
    open(Model::Ft840);
    const double before = platform.steadyMs();
    cat.RigLock(true);
    EXPECT_TRUE(rig.rig().locked());
    EXPECT_GE(platform.steadyMs() - before, 50.0);
    cat.RigLock(false);
    EXPECT_FALSE(rig.rig().locked());

    cat.SetRigMode(7);
    EXPECT_EQ(rig.rig().modeCode(), 6);
    EXPECT_EQ(cat.RigModeIndex(), 7);
    cat.SetRigMode(8); // beyond the FT-840's modes
    EXPECT_EQ(cat.RigModeIndex(), 7);

    open(Model::Ft847);
    cat.SetRigMode(10);
    EXPECT_EQ(rig.rig().modeCode(), 136);
    EXPECT_EQ(state.RigModeCode, 58); // the code its button is found by
}

TEST_F(CatControlTest, openFailure_showsTheComPortOpenMessageAndStaysClosed) {
    state.RigModel = static_cast<core::Integer>(Model::Ft817);
    rig.failNextOpen("/dev/ttyUSB0: Permission denied");
    EXPECT_FALSE(cat.OpenPort(1));
    EXPECT_FALSE(cat.portOpen());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Function ComPortOpen\r\n/dev/ttyUSB0: Permission denied");
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.Version 1.24");
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Critical);
}

TEST_F(CatControlTest, openAndClose_linesOffSettingsPerModelPttReleased) {
    open(Model::Ft840, 9600);
    EXPECT_EQ(rig.settings()->stopBits, 2);
    EXPECT_EQ(rig.settings()->baudRate, 9600);
    cat.PttOn();
    ASSERT_TRUE(rig.rig().transmitting());
    cat.ClosePort();
    EXPECT_FALSE(rig.isOpen());
    EXPECT_FALSE(rig.rig().transmitting());
    EXPECT_EQ(cat.PttCaption(), "&PTT off");
    EXPECT_EQ(cat.frequencyText(), "-----.- kHz");
}

TEST_F(CatControlTest, writeFailure_isToldOncePerOpening) {
    open(Model::Ft817);
    QSignalSpy failed(&cat, &CatControl::linkFailed);
    rig.failWrites(true);
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
    cat.RigLock(true);
    EXPECT_EQ(failed.count(), 1);
    rig.failWrites(false);
    open(Model::Ft817);
    rig.failWrites(true);
    cat.RigLock(true);
    EXPECT_EQ(failed.count(), 2);
}
