// No turn while the rig transmits: what each origin gets from the engine's one gate.
#include "engine/EngineFixture.h"

using engine::TurnOrigin;
using engine::TurnOutcome;
using TransmitGate = engine_test::EngineFixture;

namespace {

// What a turn of one origin gets: asked while the rig transmits (for 2 s), when transmit
// begins mid-turn, and under the SWR tune's carrier (for 1 s).
struct OriginCase {
    TurnOrigin origin;
    enum { Asks, Beeps, Waits, Refused } underTransmit;
    bool pausesMidTurn; // else it stops at the next step
    enum { Passes, WaitsItOut, RefusedQuietly } underCarrier;
};

void PrintTo(const OriginCase& c, std::ostream* out) {
    *out << "origin " << static_cast<int>(c.origin);
}

class GateByOrigin : public engine_test::EngineFixture,
                     public ::testing::WithParamInterface<OriginCase> {};

} // namespace

TEST_P(GateByOrigin, underTransmit_midTurn_andUnderTheSwrTunesCarrier) {
    const OriginCase c = GetParam();
    // Under transmit: a user who says No is asked once; nothing moves unless the origin waits.
    transmit.on = true;
    platform.answerNextMessage(platform::Answer::No);
    platform.scheduleAfter(2000, [this] { transmit.on = false; });
    double start = platform.steadyMs();
    const TurnOutcome asked = engine.TurnTo({50, c.origin});
    EXPECT_EQ(platform.messages.size(), c.underTransmit == OriginCase::Asks ? 1u : 0u);
    EXPECT_EQ(platform.beeps.size(), c.underTransmit == OriginCase::Beeps ? 1u : 0u);
    if (c.underTransmit == OriginCase::Waits) {
        EXPECT_EQ(asked, TurnOutcome::Done);
        EXPECT_GE(platform.steadyMs() - start, 2000);
        EXPECT_EQ(state.StepCounter, 50);
    } else {
        EXPECT_EQ(asked, TurnOutcome::Refused);
        EXPECT_LT(platform.steadyMs() - start, 2000);
        EXPECT_EQ(state.StepCounter, 0);
    }
    platform.waitMs(2000, true);
    ASSERT_FALSE(transmit.on);

    // Transmit begins 100 ms into a turn and ends at 3 s.
    const core::Long from = state.StepCounter;
    platform.scheduleAfter(100, [this] { transmit.on = true; });
    platform.scheduleAfter(3000, [this] { transmit.on = false; });
    start = platform.steadyMs();
    const TurnOutcome midTurn = engine.TurnTo({from + 100, c.origin});
    if (c.pausesMidTurn) {
        EXPECT_EQ(midTurn, TurnOutcome::Done);
        EXPECT_GE(platform.steadyMs() - start, 3000);
        EXPECT_EQ(state.StepCounter, from + 100);
    } else {
        EXPECT_EQ(midTurn, TurnOutcome::Held);
        EXPECT_GT(state.StepCounter, from);
        EXPECT_LT(state.StepCounter, from + 20); // 15 ms steps: at most one after transmit began
        EXPECT_EQ(state.TargetPosition, state.StepCounter);
    }
    platform.waitMs(3000, true);
    ASSERT_FALSE(transmit.on);

    // The SWR tune keys its carrier for 1 s: nobody is asked or beeped at, consent or not.
    const core::Long before = state.StepCounter;
    const std::size_t messages = platform.messages.size();
    const std::size_t beeps = platform.beeps.size();
    transmit.swrTune = true;
    platform.answerNextMessage(platform::Answer::Yes);
    platform.scheduleAfter(1000, [this] { transmit.swrTune = false; });
    EXPECT_EQ(engine.admits(c.origin), c.underCarrier != OriginCase::RefusedQuietly);
    start = platform.steadyMs();
    const TurnOutcome underCarrier = engine.TurnTo({before + 10, c.origin});
    EXPECT_EQ(platform.messages.size(), messages);
    EXPECT_EQ(platform.beeps.size(), beeps);
    switch (c.underCarrier) {
    case OriginCase::Passes:
        EXPECT_EQ(underCarrier, TurnOutcome::Done);
        EXPECT_LT(platform.steadyMs() - start, 1000);
        EXPECT_EQ(state.StepCounter, before + 10);
        break;
    case OriginCase::WaitsItOut:
        EXPECT_EQ(underCarrier, TurnOutcome::Done);
        EXPECT_GE(platform.steadyMs() - start, 1000);
        EXPECT_EQ(state.StepCounter, before + 10);
        break;
    case OriginCase::RefusedQuietly:
        EXPECT_EQ(underCarrier, TurnOutcome::Refused);
        EXPECT_EQ(state.StepCounter, before);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryOrigin, GateByOrigin,
    ::testing::Values(
        OriginCase{TurnOrigin::Window, OriginCase::Asks, false, OriginCase::RefusedQuietly},
        OriginCase{TurnOrigin::Repeated, OriginCase::Beeps, false, OriginCase::RefusedQuietly},
        OriginCase{TurnOrigin::Program, OriginCase::Waits, true, OriginCase::WaitsItOut},
        OriginCase{TurnOrigin::Timer, OriginCase::Waits, true, OriginCase::WaitsItOut},
        OriginCase{TurnOrigin::Network, OriginCase::Refused, false, OriginCase::RefusedQuietly},
        OriginCase{TurnOrigin::Following, OriginCase::Refused, false, OriginCase::RefusedQuietly},
        OriginCase{TurnOrigin::Search, OriginCase::Refused, false, OriginCase::RefusedQuietly},
        OriginCase{TurnOrigin::SwrTune, OriginCase::Refused, false, OriginCase::Passes},
        OriginCase{TurnOrigin::Park, OriginCase::Refused, false, OriginCase::RefusedQuietly},
        OriginCase{TurnOrigin::VnaBuild, OriginCase::Refused, false, OriginCase::RefusedQuietly}));

TEST_F(TransmitGate, aRefusedTurnMovesNothing_andTheDialsDropItsTarget_aConsentHoldsAllTheWay) {
    transmit.on = true;
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

TEST_F(TransmitGate, aTimerTurnGivesUpAfterAMinute_aStopEndsAProgramsWait) {
    transmit.on = true;
    EXPECT_EQ(engine.TurnStepperTo(0, 40), TurnOutcome::TimedOut);
    EXPECT_EQ(state.StepCounter, 0);

    // A stop ends the wait: nothing moves.
    platform.scheduleAfter(500, [this] { engine.StopTurningAndFollowing(); });
    EXPECT_EQ(engine.TurnTo({30, TurnOrigin::Program}), TurnOutcome::Refused);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(TransmitGate, aProgramPausedMidTurn_standsStillWhileTransmitLasts) {
    platform.scheduleAfter(100, [this] { transmit.on = true; });
    platform.scheduleAfter(3000, [this] { transmit.on = false; });
    std::vector<core::Long> duringTransmit;
    platform.scheduleAfter(1500, [&] { duringTransmit.push_back(state.StepCounter); });
    platform.scheduleAfter(2500, [&] { duringTransmit.push_back(state.StepCounter); });
    EXPECT_EQ(engine.TurnTo({100, TurnOrigin::Program}), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 100);
    ASSERT_EQ(duringTransmit.size(), 2u);
    EXPECT_EQ(duringTransmit[0], duringTransmit[1]);
}

TEST_F(TransmitGate, aTurnConsentedUnderAnotherTransmission_stopsWhenTheSwrTuneKeys) {
    transmit.on = true;
    platform.answerNextMessage(platform::Answer::Yes);
    platform.scheduleAfter(100, [this] { transmit.swrTune = true; });
    EXPECT_EQ(engine.TurnTo({300, TurnOrigin::Window}), TurnOutcome::Held);
    EXPECT_LT(state.StepCounter, 40);
}
