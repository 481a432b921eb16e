#include "EngineFixture.h"
#include "engine/StepTimeline.h"

#include <algorithm>

using namespace engine_test;

namespace {

struct StepTiming : EngineFixture {
    engine::TurnTiming lastTiming; // of the last turn that ended

    StepTiming() {
        QObject::connect(&engine, &engine::Engine::turnFinished,
                         [this](const engine::TurnRecord& record) { lastTiming = record.timing; });
    }
    // The periods between the steps written, and the last one up to the end of the turn.
    std::vector<double> periods(double endMs) const {
        std::vector<double> times = stepTimes();
        times.push_back(endMs);
        std::vector<double> result;
        for (std::size_t i = 1; i < times.size(); ++i)
            result.push_back(times[i] - times[i - 1]);
        return result;
    }
    void setFastestDelay(core::Long ms) {
        state.FastestDelayMs = ms;
        speedPanel.InitSpeed();
        speedPanel.ToggleFastCustom();
        ASSERT_EQ(state.StepDelayMs, ms);
    }
};

} // namespace

TEST_F(StepTiming, timeSpentBetweenStepsDoesNotStretchThePeriod) {
    speedPanel.SpeedScrolled(10);
    // A handler taking 4 ms of every wait (a redraw) runs inside the waits.
    for (int i = 0; i < 5; ++i)
        platform.scheduleAt(10.0 * i + 3, [this] { platform.waitMs(4, false); });
    turnTo(5);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 10, 20, 30, 40}));
    EXPECT_EQ(platform.steadyMs(), 50);
}

TEST_F(StepTiming, aLateStepIsMadeUpOverTheNextSteps_noneShorterThanNineTenthsOfTheDelay) {
    speedPanel.SpeedScrolled(10);
    platform.scheduleAt(15, [this] { platform.waitMs(20, false); }); // busy until 35
    turnTo(40);
    const std::vector<double> times = stepTimes();
    // 15 ms late, made up by 1 ms a step: periods of 9 ms until the schedule is met again.
    EXPECT_EQ(std::vector<double>(times.begin() + 1, times.begin() + 5),
              (std::vector<double>{10, 35, 44, 53}));
    EXPECT_EQ(times[17], 170);
    EXPECT_EQ(times[18], 180);
    const std::vector<double> p = periods(platform.steadyMs());
    EXPECT_EQ(*std::min_element(p.begin(), p.end()), 9);
    EXPECT_EQ(platform.steadyMs(), 400); // the turn ends on time
    EXPECT_EQ(lastTiming.worstLateMs, 15);
    EXPECT_EQ(lastTiming.endLateMs, 0);
}

TEST_F(StepTiming, aRampKeepsEachStepsOwnDelay_andLatenessIsMadeUpWithinTheDelayOfEachStep) {
    speedPanel.SpeedModulateClicked(true);
    // Ramp over 10 steps: 15, 8, 5, 2, 2, 2, 2, 5, 8, 15 ms.
    platform.scheduleAt(16, [this] { platform.waitMs(10, false); }); // busy until 26
    turnTo(10);
    const std::vector<double> p = periods(platform.steadyMs());
    const std::vector<double> ramp{15, 8, 5, 2, 2, 2, 2, 5, 8, 15};
    ASSERT_EQ(p.size(), ramp.size());
    for (std::size_t i = 0; i < p.size(); ++i)
        EXPECT_GE(p[i], 0.9 * ramp[i] - 1e-9) << "step " << i;
    EXPECT_DOUBLE_EQ(platform.steadyMs(), 64); // the ramp's 64 ms: made up before the end
}

TEST_F(StepTiming, jitterBelowATenthOfTheDelay_isMadeUpByTheNextPeriod) {
    speedPanel.SpeedScrolled(10);
    platform.scheduleAt(19, [this] { platform.waitMs(1.5, false); }); // wakes 0.5 ms late
    turnTo(5);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 10, 20.5, 30, 40}));
}

TEST_F(StepTiming, withoutYieldTheLoopOnlySleepsAndHandlersWait) {
    speedPanel.SpeedScrolled(10);
    bool ran = false;
    platform.scheduleAfter(5, [&] { ran = true; });
    state.NoYield = true;
    turnTo(3);
    EXPECT_FALSE(ran);
    EXPECT_EQ(platform.steadyMs(), 30);
    state.NoYield = false;
    platform.advance(0);
    EXPECT_TRUE(ran);
}

TEST_F(StepTiming, aZeroDelayStillServesEventsEveryStep) {
    setFastestDelay(0);
    const int yieldsBefore = platform.yields;
    turnTo(20);
    EXPECT_EQ(state.StepCounter, 20);
    EXPECT_GE(platform.yields - yieldsBefore, 20);
}

TEST_F(StepTiming, aTurnIsShownAtScreenRate_itsLastValueAtTheEnd_andEveryStepIsMade) {
    setFastestDelay(1);
    std::vector<double> shownAt;
    QObject::connect(&engine, &engine::Engine::counterChanged,
                     [&] { shownAt.push_back(platform.steadyMs()); });
    const std::size_t degreesBefore = degrees.size();
    turnTo(100);
    EXPECT_EQ(positions.size(), 101u); // 0 and every step
    for (std::size_t i = 1; i + 1 < shownAt.size(); ++i)
        EXPECT_GE(shownAt[i] - shownAt[i - 1], engine::DisplayPacing::IntervalMs) << i;
    EXPECT_LE(shownAt.size(), 100u / engine::DisplayPacing::IntervalMs + 1);
    EXPECT_EQ(counters.back(), 100);
    EXPECT_EQ(degrees.back(), " 180.0°");
    EXPECT_LE(degrees.size() - degreesBefore, shownAt.size());
    engine.SetCounter(7, 0); // outside a turn a change is shown at once
    EXPECT_EQ(counters.back(), 7);
    EXPECT_EQ(degrees.back(), " 12.6°");
}

TEST_F(StepTiming, aSlowRedrawWaitsUntilTheTurnIsBackOnTime_soTheTurnEndsOnTime) {
    setFastestDelay(1);
    std::vector<double> shownAt;
    // Every redraw takes 3 ms, more than the steps between two redraws could make up.
    QObject::connect(&engine, &engine::Engine::counterChanged, [&] {
        shownAt.push_back(platform.steadyMs());
        platform.waitMs(3, false);
    });
    turnTo(300);
    EXPECT_LE(lastTiming.endLateMs, 3);
    EXPECT_GE(shownAt.size(), 300u / 40);
    for (std::size_t i = 1; i + 1 < shownAt.size(); ++i)
        EXPECT_GE(shownAt[i] - shownAt[i - 1], engine::DisplayPacing::IntervalMs) << i;
    EXPECT_EQ(counters.back(), 300);
}

TEST_F(StepTiming, aTurnThatCannotCatchUpIsStillShownMoving) {
    setFastestDelay(1);
    platform.scheduleAt(5, [this] { platform.waitMs(400, false); }); // stalls until 405
    std::vector<double> shownAt;
    QObject::connect(&engine, &engine::Engine::counterChanged,
                     [&] { shownAt.push_back(platform.steadyMs()); });
    turnTo(300);
    EXPECT_GT(lastTiming.endLateMs, 300);
    // Shown while it ran behind, at the first tick MaxHoldMs after the last show.
    ASSERT_GE(shownAt.size(), 3u);
    EXPECT_LE(shownAt[shownAt.size() - 2] - shownAt[shownAt.size() - 3],
              engine::DisplayPacing::MaxHoldMs + engine::DisplayPacing::IntervalMs);
    EXPECT_EQ(counters.back(), 300);
}

// A clock that jumps to each deadline, and on as the test says.
class ManualClock final : public platform::StepClock {
public:
    double now = 0;
    double nowMs() override { return now; }
    void waitUntil(double deadlineMs) override { now = std::max(now, deadlineMs); }
    void serve() override {}
    void sleepUntil(double deadlineMs) override { now = std::max(now, deadlineMs); }
};

// On the stepping thread the figures are read by the GUI thread, which may come late to them:
// the turn ends for the motor when its last wait does.
TEST(StepTimelineEnd, isWhereTheLastWaitEnded_notWhereTheFiguresAreRead) {
    ManualClock clock;
    engine::StepTimeline timeline(clock);
    for (int i = 0; i < 3; ++i) {
        timeline.stepWritten();
        timeline.waitForNext(10);
    }
    clock.now += 25; // what the GUI thread did before it looked
    const engine::TurnTiming timing = timeline.timing();
    EXPECT_EQ(timing.steps, 3);
    EXPECT_EQ(timing.endMs, 30);
    EXPECT_EQ(timing.endLateMs, 0);
}
