// The transmit-inhibit line around every turn, read back from the port log as a user's port
// log would be read: the line set leadMs before a turn's first step, held across every step, a
// turn inside another and a hold, released tailMs after the last step.
#include "TransmitInhibitFixture.h"

using engine::TurnOrigin;
using engine::TurnOutcome;
using namespace engine_test;

TEST_F(TransmitInhibit, everyOriginsTurn_isInsideTheLine_leadBeforeAndTailAfter) {
    core::Long target = 0;
    for (const TurnOrigin origin :
         {TurnOrigin::Window, TurnOrigin::Repeated, TurnOrigin::Program, TurnOrigin::Timer,
          TurnOrigin::Network, TurnOrigin::Following, TurnOrigin::Search, TurnOrigin::VnaBuild}) {
        target = target == 0 ? 40 : 0;
        EXPECT_EQ(turn(target, origin), TurnOutcome::Done);
    }
    const LogReading r = reading();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    ASSERT_EQ(r.stretches.size(), 8u) << "one stretch per turn: the tail passed between them";
    EXPECT_EQ(r.steps, 8 * 40);
    for (const Inhibited& s : r.stretches) {
        EXPECT_EQ(s.steps, 40);
        EXPECT_TRUE(s.releasedMs) << "released while the station stands idle";
    }
    EXPECT_TRUE(lpt.Inp32(888) & Line);
}

TEST_F(TransmitInhibit, aTurnInsideAnother_aTransmitHold_andASlowTurn_keepTheLineSet) {
    // A turn started from a handler while another one steps: one stretch for both.
    platform.scheduleAfter(60, [this] { engine.TurnTo({10, TurnOrigin::Network}); });
    engine.TurnTo({200, TurnOrigin::Window});
    platform.advance(200);
    EXPECT_EQ(state.StepCounter, 10);
    // A program's turn that the rig's transmit pauses for two seconds mid-way.
    platform.scheduleAfter(100, [this] { transmit.on = true; });
    platform.scheduleAfter(2100, [this] { transmit.on = false; });
    EXPECT_EQ(turn(150, TurnOrigin::Program), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 150);
    // A slow turn, one step every 1.2 s from its timers.
    state.SlowestDelayMs = 2400;
    speedPanel.SetSpeed();
    speedPanel.SpeedScrolled(1200);
    engine.TurnTo({147, TurnOrigin::Window});
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, 147);

    const LogReading r = reading();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    ASSERT_EQ(r.stretches.size(), 3u);
    EXPECT_GT(r.stretches[1].lastStepMs - r.stretches[1].firstStepMs, 2000)
        << "held through the pause";
    EXPECT_EQ(r.stretches[2].steps, 3);
    EXPECT_TRUE(r.stretches[2].releasedMs);
}

TEST_F(TransmitInhibit, aSlowTurnsLead_longerThanItsDelay_isWaitedWithTheEventsServed) {
    drive.coil().setInhibit({5, true, 3000, Tail});
    state.SlowestDelayMs = 2400;
    speedPanel.SetSpeed();
    speedPanel.SpeedScrolled(1200);
    // The user stops while the line's lead runs: no step has been made.
    platform.scheduleAfter(2000, [this] { engine.StopTurningAndFollowing(); });
    engine.TurnTo({5, TurnOrigin::Window});
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_EQ(reading().steps, 0);

    engine.TurnTo({2, TurnOrigin::Window});
    platform.advance(6000);
    EXPECT_EQ(state.StepCounter, 2);
    const LogReading r = reading();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    EXPECT_EQ(r.steps, 2);
}

TEST_F(TransmitInhibit, theSwrTunesOwnTurns_leaveTheLineReleased) {
    transmit.swrTune = true;
    EXPECT_EQ(turn(20, TurnOrigin::SwrTune), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 20);
    const LogReading r = reading();
    EXPECT_TRUE(r.stretches.empty());
    EXPECT_EQ(r.steps, 20);
}

TEST_F(TransmitInhibit, theTurnsRecord_tellsTheLeadAndTail_butNotForTheSwrTunesOwnTurns) {
    std::vector<engine::TurnRecord> records;
    QObject::connect(&engine, &engine::Engine::turnFinished,
                     [&](const engine::TurnRecord& record) { records.push_back(record); });
    turn(30, TurnOrigin::Window);
    transmit.swrTune = true;
    turn(10, TurnOrigin::SwrTune);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].inhibitLeadMs, Lead);
    EXPECT_EQ(records[0].inhibitTailMs, Tail);
    EXPECT_FALSE(records[1].inhibitLeadMs);
    EXPECT_FALSE(records[1].inhibitTailMs);
}

TEST_F(TransmitInhibit, theSwrTunesTurnAfterItUnkeys_isInsideTheLineLikeAnyOther) {
    std::vector<engine::TurnRecord> records;
    QObject::connect(&engine, &engine::Engine::turnFinished,
                     [&](const engine::TurnRecord& record) { records.push_back(record); });
    transmit.swrTune = true;
    EXPECT_EQ(turn(20, TurnOrigin::SwrTune), TurnOutcome::Done);
    // Unkeyed, it turns to the lowest SWR it found.
    transmit.swrTune = false;
    EXPECT_EQ(turn(14, TurnOrigin::SwrTune), TurnOutcome::Done);
    const LogReading r = reading();
    // The 20 steps under the carrier, and nothing more: the lead and tail were kept.
    EXPECT_EQ(r.problems.size(), 20) << r.problems.join("; ").toStdString();
    ASSERT_EQ(r.stretches.size(), 1u);
    EXPECT_EQ(r.stretches[0].steps, 6);
    EXPECT_TRUE(r.stretches[0].releasedMs);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_FALSE(records[0].inhibitLeadMs);
    EXPECT_EQ(records[1].inhibitLeadMs, Lead);
    EXPECT_EQ(records[1].inhibitTailMs, Tail);
}

TEST_F(TransmitInhibit, aStepDirDriversFirstPulse_comesAfterTheLead) {
    port::StepperOutputs outputs = port::DefaultStepperOutputs();
    outputs[0].output = port::OutputKind::StepDir;
    outputs[1].stepBit = 6; // D5 is the line
    drive.coil().setOutputs(outputs);
    drive.coil().WriteData(0);
    EXPECT_EQ(turn(30, TurnOrigin::Window), TurnOutcome::Done);
    const LogReading r = reading([](std::uint8_t before, std::uint8_t now) {
        return !(before & 1) && (now & 1); // a rising STEP edge on D0
    });
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    ASSERT_EQ(r.stretches.size(), 1u);
    EXPECT_EQ(r.stretches[0].steps, 30);
}

TEST_F(TransmitInhibit, withoutALine_noWriteTouchesItsBit) {
    drive.coil().setInhibit({});
    lpt.traceWrites();
    drive.coil().WriteData(0);
    turn(40, TurnOrigin::Window);
    for (const std::uint8_t value : lpt.valuesWritten(888))
        EXPECT_FALSE(value & Line);
}
