#include "rig/CatControlFixture.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QSignalSpy>

using namespace rig;
using rig_test::CatControlTest;
using test_support::Hex;
using testing_support::FakePlatform;

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
    platform.advance(SerialExchanges::ReopenMs + 1); // the device is not back yet
    EXPECT_TRUE(cat.lineLost());

    rig.failWrites(false);
    rig.rig().setTransmit(false);
    const std::size_t back = mark();
    platform.advance(SerialExchanges::LongestReopenMs + 1);
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
    platform.advance(SerialExchanges::LongestReopenMs * 2);
    EXPECT_FALSE(rig.isOpen());
}
