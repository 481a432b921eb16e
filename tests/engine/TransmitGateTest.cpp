// No turn while the rig transmits: what each origin gets from the engine's one gate.
#include "engine/EngineFixture.h"

using engine::TurnOrigin;
using engine::TurnOutcome;
using TransmitGate = engine_test::EngineFixture;

TEST_F(TransmitGate, beforeTheFirstStep_eachOriginGetsItsOwnAnswer_andNothingMovesUnasked) {
    transmit.on = true;
    EXPECT_EQ(engine.TurnTo({50, TurnOrigin::Repeated}), TurnOutcome::Refused);
    EXPECT_EQ(platform.beeps.size(), 1u);
    for (const TurnOrigin quiet :
         {TurnOrigin::Network, TurnOrigin::Following, TurnOrigin::Search, TurnOrigin::VnaBuild})
        EXPECT_EQ(engine.TurnTo({50, quiet}), TurnOutcome::Refused);
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_FALSE(engine.admits(TurnOrigin::Network));
    EXPECT_EQ(engine.StepBy(-3, 0, TurnOrigin::Repeated), TurnOutcome::Refused);
    platform.answerNextMessage(platform::Answer::No);
    degrees.clear();
    counters.clear();
    EXPECT_EQ(engine.TurnTo({50, TurnOrigin::Window}), TurnOutcome::Refused);
    EXPECT_TRUE(positions.empty());
    EXPECT_EQ(state.TargetPosition, 0);
    // The dials are told, so the pelorus no longer shows the refused target.
    EXPECT_FALSE(degrees.empty());
    EXPECT_EQ(counters, std::vector<core::Long>{0});

    // A window's consent holds for its own turn, all the way.
    platform.answerNextMessage(platform::Answer::Yes);
    EXPECT_EQ(engine.TurnTo({50, TurnOrigin::Window}), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 50);
}

TEST_F(TransmitGate, aProgramWaitsUntilTransmitEnds_aTimerTurnGivesUpAfterAMinute) {
    transmit.on = true;
    platform.scheduleAfter(2000, [this] { transmit.on = false; });
    const double start = platform.steadyMs();
    EXPECT_EQ(engine.TurnTo({20, TurnOrigin::Program}), TurnOutcome::Done);
    EXPECT_GE(platform.steadyMs() - start, 2000);
    EXPECT_EQ(state.StepCounter, 20);

    transmit.on = true;
    EXPECT_EQ(engine.TurnStepperTo(0, 40), TurnOutcome::TimedOut);
    EXPECT_EQ(state.StepCounter, 20);

    // A stop ends the wait: nothing moves.
    platform.scheduleAfter(500, [this] { engine.StopTurning(); });
    EXPECT_EQ(engine.TurnTo({30, TurnOrigin::Program}), TurnOutcome::Refused);
    EXPECT_EQ(state.StepCounter, 20);
}

TEST_F(TransmitGate, transmitBeginningMidTurn_stopsAUsersTurnAtTheNextStep_andPausesAProgram) {
    platform.scheduleAfter(100, [this] { transmit.on = true; });
    EXPECT_EQ(engine.TurnTo({400, TurnOrigin::Window}), TurnOutcome::Held);
    const core::Long heldAt = state.StepCounter;
    EXPECT_GT(heldAt, 0);
    EXPECT_LT(heldAt, 20); // 15 ms steps: at most one step after transmit began
    EXPECT_EQ(state.TargetPosition, heldAt);

    transmit.on = false;
    platform.scheduleAfter(100, [this] { transmit.on = true; });
    platform.scheduleAfter(3000, [this] { transmit.on = false; });
    std::vector<core::Long> duringTransmit;
    platform.scheduleAfter(1500, [&] { duringTransmit.push_back(state.StepCounter); });
    platform.scheduleAfter(2500, [&] { duringTransmit.push_back(state.StepCounter); });
    EXPECT_EQ(engine.TurnTo({heldAt + 100, TurnOrigin::Program}), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, heldAt + 100);
    ASSERT_EQ(duringTransmit.size(), 2u);
    EXPECT_EQ(duringTransmit[0], duringTransmit[1]); // it stood still meanwhile
}

TEST_F(TransmitGate, underTheSwrTunesCarrier_onlyItsTurnsPass_andOnlyThen) {
    // Another's transmission holds the tune's turns like any search.
    transmit.on = true;
    EXPECT_EQ(engine.TurnTo({10, TurnOrigin::SwrTune}), TurnOutcome::Refused);
    transmit.on = false;

    transmit.swrTune = true;
    platform.answerNextMessage(platform::Answer::Yes);
    for (const TurnOrigin other : {TurnOrigin::Window, TurnOrigin::Repeated, TurnOrigin::Network,
                                   TurnOrigin::Following, TurnOrigin::Search, TurnOrigin::VnaBuild})
        EXPECT_EQ(engine.TurnTo({50, other}), TurnOutcome::Refused);
    EXPECT_TRUE(platform.messages.empty()); // nobody is asked to turn under it
    EXPECT_FALSE(engine.admits(TurnOrigin::Window));
    EXPECT_TRUE(engine.admits(TurnOrigin::SwrTune));
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_EQ(engine.TurnTo({10, TurnOrigin::SwrTune}), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 10);

    // A program waits for the carrier to end.
    platform.scheduleAfter(1000, [this] { transmit.swrTune = false; });
    EXPECT_EQ(engine.TurnTo({20, TurnOrigin::Program}), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 20);

    // The user's turn, consented to under another transmission, stops when the tune keys.
    transmit.on = true;
    platform.answerNextMessage(platform::Answer::Yes);
    platform.scheduleAfter(100, [this] { transmit.swrTune = true; });
    EXPECT_EQ(engine.TurnTo({300, TurnOrigin::Window}), TurnOutcome::Held);
    EXPECT_LT(state.StepCounter, 40);
}
