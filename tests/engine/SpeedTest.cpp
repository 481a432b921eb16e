#include "EngineFixture.h"
#include "engine/SpeedRamp.h"

#include <QSignalSpy>

using namespace engine_test;
using core::Long;

using Speed = EngineFixture;

namespace {
std::vector<Long> Entries(const engine::SpeedRamp& ramp) {
    std::vector<Long> entries;
    for (std::int64_t i = 1; i <= ramp.size(); ++i)
        entries.push_back(ramp.Entry(i));
    return entries;
}
} // namespace

// The ten-step parabola itself: theTenStepRampIsTimedOnTheClock.
TEST(SpeedRamp, oneStepIsTheCustomDelay_aFastestEqualToItIsFlat_andNoStepsKeepTheLastRamp) {
    engine::SpeedRamp ramp;
    ramp.Plan(1, 15, 2);
    EXPECT_EQ(Entries(ramp), (std::vector<Long>{15}));
    ramp.Plan(4, 7, 7); // custom = fastest: flat
    EXPECT_EQ(Entries(ramp), (std::vector<Long>{7, 7, 7, 7}));
    ramp.Plan(0, 15, 2); // no turn: the previous ramp stays
    EXPECT_EQ(ramp.size(), 4);
}

TEST(SpeedRamp, neverAsksForADelayShorterThanTheFastest) {
    engine::SpeedRamp ramp;
    ramp.Plan(10, 15, 3); // the parabola gives 2.08 ms next to the middle
    EXPECT_EQ(Entries(ramp), (std::vector<Long>{15, 8, 4, 3, 3, 3, 3, 4, 8, 15}));
    ramp.Plan(94, 40, 3);
    for (const Long delay : Entries(ramp))
        EXPECT_GE(delay, 3);
}

TEST(SpeedRamp, aRampAcrossTheWholeRangeOfALong_costsNothing) {
    engine::SpeedRamp ramp;
    ramp.Plan(std::int64_t{1} << 32, 1000, 1);
    EXPECT_EQ(ramp.Entry(1), 1000);
    EXPECT_EQ(ramp.Entry(std::int64_t{1} << 31), 1); // the middle
    EXPECT_EQ(ramp.Entry((std::int64_t{1} << 32) - 1), 999);
    EXPECT_EQ(ramp.Entry(std::int64_t{1} << 32), 1000);
}

TEST_F(Speed, theTenStepRampIsTimedOnTheClock_andAStopInTheMiddleRestoresTheSetSpeed) {
    speedPanel.SpeedModulateClicked(true);
    ASSERT_TRUE(state.SpeedModulate);
    turnTo(10);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 15, 23, 28, 30, 32, 34, 36, 41, 49}));
    EXPECT_EQ(platform.steadyMs(), 64);
    EXPECT_EQ(state.StepDelayMs, 15); // the ramp ends on the custom delay

    platform.scheduleAfter(29, [this] { engine.StopTurningAndFollowing(); });
    turnTo(20);
    EXPECT_EQ(state.StepCounter, 14);
    EXPECT_EQ(state.StepDelayMs, 15);
}

TEST_F(Speed, theRpmAndSpeedTextsFollowTheDelay) {
    const auto& t = speedControl.texts();
    EXPECT_EQ(t.rpmLabel, "20.0 Rpm");
    speedPanel.SpeedScrolled(300); // 200 steps per turn at .3 s: exactly 1 rpm
    EXPECT_EQ(t.rpmLabel, "Slow");
    speedPanel.SpeedScrolled(5000); // held at the slowest
    EXPECT_EQ(state.CustomDelayMs, 1000);
    EXPECT_EQ(t.speedLabel, "Stepspeed  1.000 Sec");
    state.StepDelayMs = 0;
    speedPanel.ShowSpeed();
    EXPECT_EQ(t.rpmLabel, "Fast");
    EXPECT_EQ(t.speedLabel, "Stepspeed  0.000 Sec");
}

TEST_F(Speed, theRampBoxIsOfferedOnlyForCustomDelaysUpToOneSecond) {
    speedPanel.SpeedModulateClicked(true);
    setSlowSpeed(1000);
    EXPECT_TRUE(speedControl.speedModulateVisible() && state.SpeedModulate);
    speedPanel.SpeedScrolled(1001);
    EXPECT_FALSE(speedControl.speedModulateVisible() || state.SpeedModulate);
    speedPanel.SpeedScrolled(20);
    EXPECT_TRUE(state.SpeedModulate); // the box kept its tick
}

TEST_F(Speed, fastModeTurnsAtTheFastestDelayWithoutARamp) {
    speedPanel.SpeedModulateClicked(true);
    speedPanel.ToggleFastCustom();
    EXPECT_FALSE(state.SpeedModulate);
    turnTo(5);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 2, 4, 6, 8}));
    EXPECT_EQ(state.StepDelayMs, 2);

    speedPanel.ToggleFastCustom();
    EXPECT_EQ(state.StepDelayMs, 15);
    EXPECT_EQ(speedControl.scrollBar().value, 15);
    EXPECT_TRUE(state.SpeedModulate);
}
