#include "EngineFixture.h"
#include "engine/StepTimeline.h"

using namespace engine_test;

using StepTiming = EngineFixture;

TEST_F(StepTiming, timeSpentBetweenStepsDoesNotStretchThePeriod) {
    engine.SpeedScrolled(10);
    // A handler taking 4 ms of every wait (a redraw) runs inside the waits.
    for (int i = 0; i < 5; ++i)
        platform.scheduleAt(10.0 * i + 3, [this] { platform.waitMs(4, false); });
    turnTo(5);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 10, 20, 30, 40}));
}

TEST_F(StepTiming, aStepThatFellBehind_restartsTheTimelineInsteadOfCatchingUp) {
    engine.SpeedScrolled(10);
    platform.scheduleAt(15, [this] { platform.waitMs(20, false); }); // busy until 35
    turnTo(5);
    // Never a period below 10 ms after the late step: no burst to catch up.
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 10, 35, 45, 55}));
}

TEST_F(StepTiming, jitterBelowATenthOfTheDelay_isMadeUpByTheNextPeriod) {
    engine.SpeedScrolled(10);
    platform.scheduleAt(19, [this] { platform.waitMs(1.5, false); }); // wakes 0.5 ms late
    turnTo(5);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 10, 20.5, 30, 40}));
}

TEST_F(StepTiming, withoutYieldTheLoopOnlySleepsAndHandlersWait) {
    engine.SpeedScrolled(10);
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
    state.FastestDelayMs = 0;
    engine.InitSpeed();
    engine.ToggleFastCustom();
    ASSERT_EQ(state.StepDelayMs, 0);
    const int yieldsBefore = platform.yields;
    turnTo(20);
    EXPECT_EQ(state.StepCounter, 20);
    EXPECT_GE(platform.yields - yieldsBefore, 20);
}
