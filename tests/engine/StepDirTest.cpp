// A step/dir driver on the virtual clock: a counted step is its STEP pulses, spread over the
// step's period, with DIR settled first and ENABLE at its own level; counter, limits and speeds
// stay in full steps.
#include "EngineFixture.h"
#include "engine/StepRun.h"
#include "port/StepPulses.h"

#include <map>

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

TEST_F(StepDir, aPhaseStepperWhoseCodeWouldStepTheOthersDriver_doesNotTurn_andIsToldOnce) {
    // Stepper 1's STEP is on D0, where stepper 2's coil code goes.
    engine.SwitchStepper(1);
    clearTrace();
    turnTo(10);
    setSlowSpeed(1500);
    turnTo(12);
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_TRUE(risingEdges().empty());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith("Stepper 2 is not turned"))
        << platform.messages[0].text.toStdString();

    // Stepper 1 turns as before.
    engine.SwitchStepper(0);
    speedPanel.SpeedScrolled(10);
    turnTo(2);
    EXPECT_EQ(state.StepCounter, 2);
    EXPECT_EQ(risingEdges().size(), 32u);
}

TEST_F(StepDir, theParkAtExit_pulsesEachSteppersOwnDriver_notTheSelectedOnes) {
    port::StepperOutputs outputs = drive.coil().outputs();
    outputs[1].output = port::OutputKind::StepDir; // STEP D5, DIR D1, ENABLE D3
    outputs[1].microsteps = 2;
    drive.coil().setOutputs(outputs);
    state.StoredProfiles[1].StepCounter = 5;
    clearTrace();
    EXPECT_EQ(engine.ParkBothSteppers(), engine::TurnOutcome::Done);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 0);
    EXPECT_EQ(state.SelectedStepper, 0);

    constexpr std::uint8_t Step2 = 32, Enable2 = 8;
    int rises2 = 0;
    std::uint8_t last = 0;
    for (const std::uint8_t value : written()) {
        if ((value & Step2) && !(last & Step2)) {
            ++rises2;
            EXPECT_EQ(value & (Enable2 | Dir), 0) << "ENABLE 2 active, DIR down";
        }
        last = value;
    }
    EXPECT_EQ(rises2, 10);
    EXPECT_TRUE(risingEdges().empty()) << "stepper 1's STEP stays low";
}

// A step clock whose chosen sleeps end late, as a preempted thread's do.
struct LateClock final : platform::StepClock {
    double now = 0;
    std::map<int, double> lateMsAtSleep; // the n-th sleepUntil (from 0) ends this much late
    int sleeps = 0;
    double nowMs() override { return now; }
    void waitUntil(double deadlineMs) override { now = std::max(now, deadlineMs); }
    void serve() override {}
    void sleepUntil(double deadlineMs) override {
        const auto late = lateMsAtSleep.find(sleeps++);
        now = std::max(now, deadlineMs) + (late == lateMsAtSleep.end() ? 0 : late->second);
    }
};

TEST(StepDirPulses, anEdgeWrittenLate_pushesTheNextOnes_neverAShortPulseOrABurst) {
    LateClock clock;
    port::SimulatedLpt lpt;
    lpt.traceWrites([&clock] { return clock.now; });
    engine::StepJob job;
    job.address = 888;
    job.stepDir = port::DefaultStepperOutputs()[0];
    job.stepDir->output = port::OutputKind::StepDir;
    job.stepDir->microsteps = 4;
    job.stepDir->pulseUs = 10;
    // 100 us apart. The sleeps, from 0: fall 0, rise 1, fall 1, rise 2, fall 2, ... The second
    // rise comes 250 us late, past the third's time, the third fall 8 us late, the first step's
    // last fall into the second step's start.
    clock.lateMsAtSleep = {{1, 0.25}, {4, 0.008}, {6, 0.2}};
    std::vector<port::TimedWrite> scratch;
    engine::StepEdges edges;
    engine::WriteStep(job, 0, 0, 400, clock, lpt, scratch, edges);
    engine::WriteStep(job, 0, 0, 400, clock, lpt, scratch, edges);

    const auto& writes = lpt.writes();
    ASSERT_EQ(writes.size(), 16u);
    double lastRise = -1;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        if (i > 0) {
            EXPECT_NE(writes[i].value & Step, writes[i - 1].value & Step) << i;
            EXPECT_GE(writes[i].atMs - writes[i - 1].atMs, 0.010 - 1e-9) << i << ": pulseUs";
        }
        if (writes[i].value & Step) {
            if (lastRise >= 0) {
                EXPECT_GE(writes[i].atMs - lastRise, 0.090 - 1e-9) << i << ": 90 % of 100 us";
            }
            lastRise = writes[i].atMs;
        }
    }
}

} // namespace
