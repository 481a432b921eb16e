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

TEST(SpeedRamp, followsTheParabolaWithTheCustomDelayAtBothEnds) {
    engine::SpeedRamp ramp;
    ramp.Plan(10, 15, 2);
    EXPECT_EQ(Entries(ramp), (std::vector<Long>{15, 8, 5, 2, 2, 2, 2, 5, 8, 15}));
    ramp.Plan(1, 15, 2);
    EXPECT_EQ(Entries(ramp), (std::vector<Long>{15}));
    ramp.Plan(4, 7, 7); // custom = fastest: flat
    EXPECT_EQ(Entries(ramp), (std::vector<Long>{7, 7, 7, 7}));
    ramp.Plan(0, 15, 2); // no turn: the previous ramp stays
    EXPECT_EQ(ramp.size(), 4);
}

TEST(SpeedRamp, aRampAcrossTheWholeRangeOfALong_costsNothing) {
    engine::SpeedRamp ramp;
    ramp.Plan(std::int64_t{1} << 32, 1000, 1);
    EXPECT_EQ(ramp.Entry(1), 1000);
    EXPECT_EQ(ramp.Entry(std::int64_t{1} << 31), 1); // the middle
    EXPECT_EQ(ramp.Entry((std::int64_t{1} << 32) - 1), 999);
    EXPECT_EQ(ramp.Entry(std::int64_t{1} << 32), 1000);
}

TEST_F(Speed, theTenStepRampIsTimedOnTheClock) {
    engine.SpeedModulateClicked(true);
    ASSERT_TRUE(state.SpeedModulate);
    turnTo(10);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 15, 23, 28, 30, 32, 34, 36, 41, 49}));
    EXPECT_EQ(platform.steadyMs(), 64);
    EXPECT_EQ(state.StepDelayMs, 15); // the ramp ends on the custom delay
    EXPECT_EQ(engine.speed().texts().speedLabel, "Stepspeed  .015 Sec");
}

TEST_F(Speed, theTextsFollowTheDelay) {
    const auto& t = engine.speed().texts();
    EXPECT_EQ(t.slowestField, "1");
    EXPECT_EQ(t.fastestField, ".002");
    EXPECT_EQ(t.slowLabel, "1 Sec");
    EXPECT_EQ(t.fastLabel, ".002 Sec");
    EXPECT_EQ(t.rpmLabel, "20.0 Rpm");
    EXPECT_EQ(t.speedLabel, "Stepspeed  .015 Sec");
    EXPECT_EQ(engine.speed().speedButtonCaption(), "Cu&stom");

    engine.SpeedScrolled(300); // 200 steps per turn at .3 s: exactly 1 rpm
    EXPECT_EQ(t.rpmLabel, "Slow");
    engine.SpeedScrolled(7);
    EXPECT_EQ(t.rpmLabel, "42.9 Rpm");
    engine.SpeedScrolled(5000); // held at the slowest
    EXPECT_EQ(state.CustomDelayMs, 1000);
    EXPECT_EQ(t.speedLabel, "Stepspeed  1.000 Sec");
    EXPECT_EQ(engine.speed().scrollBar().smallChange, 10);
    state.StepDelayMs = 0;
    engine.ShowSpeed();
    EXPECT_EQ(t.rpmLabel, "Fast");
    EXPECT_EQ(t.speedLabel, "Stepspeed  0.000 Sec");
}

TEST_F(Speed, theRampBoxIsOfferedOnlyForCustomDelaysUpToOneSecond) {
    engine.SpeedModulateClicked(true);
    setSlowSpeed(1000);
    EXPECT_TRUE(engine.speed().speedModulateVisible());
    EXPECT_TRUE(state.SpeedModulate);
    engine.SpeedScrolled(1001);
    EXPECT_FALSE(engine.speed().speedModulateVisible());
    EXPECT_FALSE(state.SpeedModulate);
    engine.SpeedScrolled(20);
    EXPECT_TRUE(state.SpeedModulate); // the box kept its tick
}

TEST_F(Speed, fastModeTurnsAtTheFastestDelayWithoutARamp) {
    engine.SpeedModulateClicked(true);
    engine.ToggleFastCustom();
    EXPECT_EQ(engine.speed().speedButtonCaption(), "Fa&st");
    EXPECT_EQ(state.StepDelayMs, 2);
    EXPECT_FALSE(state.SpeedModulate);
    turnTo(5);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 2, 4, 6, 8}));
    EXPECT_EQ(state.StepDelayMs, 2);

    engine.ToggleFastCustom();
    EXPECT_EQ(engine.speed().speedButtonCaption(), "Cu&stom");
    EXPECT_EQ(state.StepDelayMs, 15);
    EXPECT_EQ(engine.speed().scrollBar().value, 15);
    EXPECT_TRUE(state.SpeedModulate);
}

TEST_F(Speed, aStopInTheMiddleOfARamp_restoresTheSetSpeed) {
    engine.SpeedModulateClicked(true);
    platform.scheduleAfter(29, [this] { engine.StopTurning(); });
    turnTo(10);
    EXPECT_EQ(state.StepCounter, 4);
    EXPECT_EQ(state.StepDelayMs, 15);
}

TEST_F(Speed, calibratingCountsTheLoopPassesOfOneSecond) {
    QSignalSpy shown(&engine, &engine::Engine::pcSpeedChanged);
    platform.clockStepPerRead = 0.5;
    engine.CalibratePcSpeed();
    EXPECT_EQ(state.PcSpeed, 2000);
    EXPECT_EQ(shown.last().at(0).toString(), "PCspeed=2000");
}

TEST_F(Speed, theSpeedFieldsAreWrittenOnlyWhenTheirDelaysChange) {
    QSignalSpy fields(&engine, &engine::Engine::speedFieldsChanged);
    engine.SpeedModulateClicked(true);
    turnTo(10); // the ramp shows every delay it takes
    engine.SpeedScrolled(40);
    engine.StopTurning(); // sets the speed again
    EXPECT_EQ(fields.count(), 0) << "what the user types there stays";
    state.SlowestDelayMs = 2000;
    engine.SetSpeed();
    ASSERT_EQ(fields.count(), 1);
    EXPECT_EQ(fields.last().at(0).toString(), "2");
    EXPECT_EQ(fields.last().at(1).toString(), ".002");
}
