// A step/dir driver on the virtual clock: a counted step is its STEP pulses, spread over the
// step's period, with DIR settled first and ENABLE at its own level; counter, limits and speeds
// stay in full steps.
#include "EngineFixture.h"
#include "port/StepPulses.h"

using namespace engine_test;

namespace {

constexpr std::uint8_t Step = 1, Dir = 2, Enable = 4; // D0, D1, D2 of stepper 1

struct StepDir : EngineFixture {
    StepDir() {
        port::StepperOutputs outputs = port::DefaultStepperOutputs();
        outputs[0].output = port::OutputKind::StepDir;
        outputs[0].microsteps = 16;
        drive.coil().setOutputs(outputs);
    }
    // Times of the rising STEP edges in the trace.
    std::vector<double> risingEdges() const {
        std::vector<double> edges;
        std::uint8_t last = 0;
        for (const auto& w : lpt.writes()) {
            if (w.address != 888)
                continue;
            if ((w.value & Step) && !(last & Step))
                edges.push_back(w.atMs);
            last = w.value;
        }
        return edges;
    }
};

TEST_F(StepDir, aTurnOf100StepsIs1600PulsesEvenlySpread_withDirSettledFirst_andEnableActiveLow) {
    state.FastestDelayMs = 2;
    speedPanel.SpeedScrolled(2);
    turnTo(100);
    EXPECT_EQ(state.StepCounter, 100);
    const std::vector<double> edges = risingEdges();
    ASSERT_EQ(edges.size(), 1600u);
    for (std::size_t i = 1; i < edges.size(); ++i)
        EXPECT_NEAR(edges[i] - edges[i - 1], 2.0 / 16, 1e-6) << i;
    // Every write of the turn: ENABLE low (active), DIR high for a turn up; DIR was on the
    // register at least dirSetupUs before the first edge.
    double dirSince = -1;
    for (const auto& w : lpt.writes()) {
        if (w.address != 888)
            continue;
        if (dirSince < 0 && (w.value & Dir))
            dirSince = w.atMs;
        if (w.atMs >= edges.front()) {
            EXPECT_EQ(w.value & Enable, 0);
            EXPECT_EQ(w.value & Dir, Dir);
        }
    }
    EXPECT_GE(edges.front() - dirSince, 0.005 - 1e-9);
    // Each pulse is pulseUs high.
    const auto& writes = lpt.writes();
    for (std::size_t i = 0; i + 1 < writes.size(); ++i) {
        if ((writes[i].value & Step) && writes[i].address == 888) {
            EXPECT_NEAR(writes[i + 1].atMs - writes[i].atMs, 0.005, 1e-6) << i;
        }
    }

    // Back down: DIR low, the counter in full steps again.
    clearTrace();
    turnTo(90);
    EXPECT_EQ(state.StepCounter, 90);
    EXPECT_EQ(risingEdges().size(), 160u);
    EXPECT_EQ(written().back() & Dir, 0);
}

TEST_F(StepDir, aStopMidTurnEndsTheStepsPulses_soCounterAndPulsesAgree) {
    speedPanel.SpeedScrolled(10);
    platform.scheduleAt(53,
                        [this] { engine.StopTurningAndFollowing(); }); // in the middle of a step
    turnTo(400);
    EXPECT_GT(state.StepCounter, 0);
    EXPECT_LT(state.StepCounter, 400);
    EXPECT_EQ(risingEdges().size(), 16u * static_cast<std::size_t>(state.StepCounter));
    EXPECT_EQ(written().back() & Step, 0);
}

TEST_F(StepDir, pulsesThePortCannotKeep_areRefusedWithAMessage_andNothingTurns) {
    port::StepperOutputs outputs = drive.coil().outputs();
    outputs[0].microsteps = 256;
    drive.coil().setOutputs(outputs);
    state.FastestDelayMs = 1;
    speedPanel.SpeedScrolled(1);
    clearTrace();
    turnTo(50);
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_TRUE(risingEdges().empty());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("256 microsteps"))
        << platform.messages[0].text.toStdString();

    // Told once; a slower speed turns.
    turnTo(50);
    EXPECT_EQ(platform.messages.size(), 1u);
    speedPanel.SpeedScrolled(20);
    turnTo(2);
    EXPECT_EQ(state.StepCounter, 2);
    EXPECT_EQ(risingEdges().size(), 512u);
}

TEST_F(StepDir, aSlowTurnsStepIsItsPulsesAtTheFastestSpeed_andExitLeavesEnableInactive) {
    setSlowSpeed(1500);
    turnTo(3);
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, 3);
    const std::vector<double> edges = risingEdges();
    ASSERT_EQ(edges.size(), 48u);
    EXPECT_NEAR(edges[1] - edges[0], static_cast<double>(state.FastestDelayMs) / 16, 1e-6);

    drive.coil().WriteData(0);                             // the exit's "everything off"
    EXPECT_EQ(written().back() & (Enable | Step), Enable); // ENABLE high: the driver is off
}

} // namespace
