// No turning while the rig transmits: an FT-817 on the simulated rig keyed at its own PTT.
#include "rig/RigTuningFixture.h"
#include "support/QtPrinters.h"

using rig_test::RigTuningFixture;
using TransmitGuardTest = RigTuningFixture;

TEST_F(TransmitGuardTest, theRigsTransmitHoldsFollowingAndFrequencySteps_untilItEnds) {
    openAndFollow();
    state.CatScrollSetting = 10;
    simulated.rig().setTransmit(true);
    simulated.rig().setFrequency(3750);
    poll();
    EXPECT_TRUE(tuning.rigTransmitting());
    EXPECT_EQ(state.StepCounter, 100);
    tuning.FrequencyUp(1);
    EXPECT_EQ(simulated.rig().frequency(), 3760.0);
    EXPECT_EQ(state.StepCounter, 100);

    simulated.rig().setTransmit(false);
    poll();
    EXPECT_FALSE(tuning.rigTransmitting());
    EXPECT_EQ(state.StepCounter, 152);
}

TEST_F(TransmitGuardTest, aTurnUnderWayStopsWhenTransmitBegins_andFollowingFinishesItAfterwards) {
    openAndFollow();
    bool keyed = false;
    const QObject scope;
    QObject::connect(&engine, &engine::Engine::turnStarted, &scope, [&] {
        if (!std::exchange(keyed, true))
            platform.scheduleAfter(300, [&] { simulated.rig().setTransmit(true); });
    });
    simulated.rig().setFrequency(4000); // 100 steps away: longer than a poll interval
    poll();
    ASSERT_TRUE(keyed);
    EXPECT_GT(state.StepCounter, 100);
    EXPECT_LT(state.StepCounter, 200);
    EXPECT_TRUE(tuning.locked());
    const core::Long stoppedAt = state.StepCounter;
    poll();
    EXPECT_EQ(state.StepCounter, stoppedAt);

    simulated.rig().setTransmit(false);
    poll();
    EXPECT_EQ(state.StepCounter, 200);
}

TEST_F(TransmitGuardTest, withTheGuardOffTheStepperFollowsAnyway_andTheChoiceIsKept) {
    openAndFollow();
    tuning.TransmitGuardClicked(false);
    rig::TransmitGuard stored(dir.filePath("Ventrolo.ini"));
    stored.Load();
    EXPECT_FALSE(stored.enabled());
    simulated.rig().setTransmit(true);
    simulated.rig().setFrequency(3750);
    poll();
    EXPECT_EQ(state.StepCounter, 150);
}

TEST_F(TransmitGuardTest, aTurnOfTheUsersOwnWhileTheRigTransmitsAsksFirst) {
    openAndFollow();
    simulated.rig().setTransmit(true);
    poll();
    view.SetInputText("3750");
    const std::size_t before = platform.messages.size();
    platform.answerNextMessage(platform::Answer::No);
    tuning.TurnToClicked();
    ASSERT_EQ(platform.messages.size(), before + 1);
    EXPECT_EQ(platform.messages.back().icon, platform::Icon::Question);
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(simulated.rig().frequency(), 3500.0);

    platform.answerNextMessage(platform::Answer::Yes);
    tuning.TurnToClicked();
    EXPECT_EQ(state.StepCounter, 150);
}
