#include "EngineFixture.h"

#include <limits>

using namespace engine_test;
using core::Long;
using Bytes = std::vector<std::uint8_t>;

using Turning = EngineFixture;

TEST_F(Turning, stepperOneAtFiveSteppingUp_enablesTheDriverThenWrites7) {
    state.StepCounter = 5;
    engine.StepBy(-1, 0);
    EXPECT_EQ(written(), (Bytes{4, 3 + 4}));
    EXPECT_EQ(state.StepCounter, 6);
    EXPECT_EQ(view.counters.back(), "6");
}

TEST_F(Turning, stepperTwoWithBothDriversAndTheOffset_writes222ForCode2) {
    state.SelectedStepper = 1;
    state.BothSteppersPin6 = true;
    state.LptExtraBits = 192;
    engine.coil().UpdateStepperBits();
    state.StepCounter = 2;
    engine.StepBy(-1, 0);
    EXPECT_EQ(written().back(), 222);
}

TEST_F(Turning, upToEightAndBack_writesTheGrayCycleBothWaysAndEndsWhereItBegan) {
    turnTo(8);
    turnTo(0);
    EXPECT_EQ(written(), (Bytes{4, 5, 7, 6, 4, 5, 7, 6, 4,    // power on, G(1)..G(8)
                                4, 6, 7, 5, 4, 6, 7, 5, 4})); // power on, G(7)..G(0)
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_EQ(state.TargetPosition, 0);
    EXPECT_TRUE(state.StepActivity);
    EXPECT_FALSE(state.StopRequest);
}

TEST_F(Turning, throughZeroFromAHandEditedNegativePosition_staysOnTheCycle) {
    state.MinPosition = -10;
    state.StepCounter = -2;
    turnTo(2);
    EXPECT_EQ(stepCodes(), (std::vector<int>{2, 0, 1, 3})); // G(-1), G(0), G(1), G(2)
    turnTo(-3);
    EXPECT_EQ(stepCodes().back(), 1); // G(-3) = G(1)
}

TEST_F(Turning, beepsWhenItStopsOnALimitAndNowhereElse) {
    state.FastestDelayMs = state.CustomDelayMs = 1;
    engine.InitSpeed();
    turnTo(8);
    EXPECT_TRUE(platform.beeps.empty());
    turnTo(500);
    ASSERT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(platform.beeps[0], platform.steadyMs()); // at the end of the turn
    turnTo(3);
    EXPECT_EQ(platform.beeps.size(), 1u);
    turnTo(-40); // clamped to the lower limit
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_EQ(platform.beeps.size(), 2u);
}

TEST_F(Turning, aCounterBeyondTheUpperLimit_beepsAndMovesNothingUpwards) {
    state.StepCounter = 600;
    turnTo(700);
    EXPECT_EQ(state.StepCounter, 600);
    EXPECT_EQ(state.TargetPosition, 500);
    EXPECT_GE(platform.beeps.size(), 1u);
    EXPECT_EQ(lpt.writes().size(), 1u); // only the driver enabled
    turnTo(498);                        // a turn down brings it back inside
    EXPECT_EQ(state.StepCounter, 498);
}

TEST_F(Turning, aStopTwentyFiveMsIntoATenMsTurn_endsItAfterThreeSteps) {
    engine.SpeedScrolled(10);
    platform.scheduleAfter(25, [this] { engine.StopTurning(); });
    turnTo(100);
    EXPECT_EQ(state.StepCounter, 3);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(platform.steadyMs(), 30); // the loop leaves at the next step's time
    EXPECT_FALSE(state.StopRequest);    // forgotten once the loop ended
}

TEST_F(Turning, stepByWithShift_turnsDownTenStepsAtTheFastestSpeedAndKeepsTheSetSpeed) {
    state.StepCounter = 50;
    engine.StepBy(1, 16);
    EXPECT_EQ(state.StepCounter, 40);
    EXPECT_EQ(stepTimes().size(), 10u);
    EXPECT_EQ(stepTimes()[1] - stepTimes()[0], 2); // FastestDelayMs
    EXPECT_EQ(state.StepDelayMs, 15);
}

TEST_F(Turning, aTurnStartedInsideAnotherTurn_endsTheFirst) {
    engine.SpeedScrolled(10);
    // The rig window (no stop first) asks for position 1 while the turn to 100 waits.
    platform.scheduleAfter(25, [this] {
        state.TargetPosition = 1;
        engine.TurnTo();
    });
    turnTo(100);
    EXPECT_EQ(state.StepCounter, 1);
    EXPECT_EQ(state.TargetPosition, 1);
}

TEST_F(Turning, switchingTheStepperInsideATurn_endsItAndTurnsTheOtherStepper) {
    engine.SpeedScrolled(10);
    platform.scheduleAfter(25, [this] { engine.TurnStepperTo(1, 7); });
    turnTo(100);
    EXPECT_EQ(state.SelectedStepper, 1);
    EXPECT_EQ(state.StepCounter, 7);
    EXPECT_EQ(state.StepperBits, 8);
    EXPECT_EQ(state.StoredProfiles[0].StepCounter, 3);
    EXPECT_EQ(written().back(), 2 + 8); // G(7) with stepper 2's driver
    EXPECT_TRUE(state.StoredProfiles[0].TimerWindowShown);
    EXPECT_FALSE(engine.TurnStepperTo(2, 7)); // no third stepper
}

TEST_F(Turning, countersAndTargetsAtTheEndsOfALong_neverWrapOrRunAway) {
    constexpr Long top = std::numeric_limits<Long>::max();
    constexpr Long bottom = std::numeric_limits<Long>::min();
    state.MaxPosition = top;
    state.MinPosition = bottom;
    state.StepCounter = top - 2;
    engine.StepBy(-10, 16);
    EXPECT_EQ(state.StepCounter, top);
    engine.StepBy(-1, 0);
    EXPECT_EQ(state.StepCounter, top);

    state.StepCounter = bottom + 1;
    engine.StepBy(std::numeric_limits<std::int64_t>::max(), 16);
    EXPECT_EQ(state.StepCounter, bottom);
    EXPECT_EQ(stepCodes().back(), port::CoilCode(bottom));
}

TEST_F(Turning, stopTurningEndsTheModesAndTellsTheOtherWindows) {
    int closed = 0, released = 0, directStopped = 0;
    engine.hooks().closeLptTestWindows = [&] { ++closed; };
    engine.hooks().releaseRigLock = [&] { ++released; };
    engine.hooks().stopDirectTable = [&] { ++directStopped; };
    engine.modes().shuttleOn = true;
    engine.modes().calibrationRunning = true;

    engine.StopTurning();
    EXPECT_EQ(engine.modes().shuttleCaption(), "S&huttle  off");
    EXPECT_EQ(engine.modes().pulsCaption(), "   &Puls    off");
    EXPECT_EQ(engine.modes().calibrationCaption(), "Calibratio&n");
    EXPECT_EQ(view.modesChangedCount, 1);
    EXPECT_TRUE(state.RigFollowHalted);
    EXPECT_EQ(closed, 0); // no test window open
    EXPECT_EQ(released, 0);
    EXPECT_EQ(directStopped, 1);

    state.LptInTestOpen = true;
    state.TableWindowShown = true;
    engine.StopTurning();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(released, 1);
}

TEST_F(Turning, endSwitchesEndTheTurnThroughTheSwitchHook) {
    state.EndSwitches = true;
    int checks = 0;
    engine.hooks().checkSwitches = [&] { return ++checks == 4; };
    turnTo(100);
    EXPECT_EQ(state.StepCounter, 3); // checked before the turn and after each step
}

TEST_F(Turning, aTurnPausesTheHousekeepingAndTheRigPollingAndTakesTheBusyLock) {
    std::vector<bool> rigPaused;
    engine.hooks().pauseRigPolling = [&](bool paused) { rigPaused.push_back(paused); };
    state.TableWindowShown = true;
    turnTo(2);
    EXPECT_EQ(view.housekeepingSwitches, (std::vector<bool>{false, true}));
    EXPECT_EQ(rigPaused, (std::vector<bool>{true, false}));
    EXPECT_EQ(view.busyLocks, (std::vector<bool>{true}));
    EXPECT_TRUE(engine.busyLock().unlockPending());
    platform.advance(2500);
    EXPECT_FALSE(engine.busyLock().isLocked());
    EXPECT_FALSE(view.stepperOptionsEnabled);
}

TEST_F(Turning, withManualPowerOff_aTurnTicksFieldpowerFirst) {
    engine.AutoPowerClicked(false);
    EXPECT_EQ(lpt.data(888) & 4, 0);
    turnTo(1);
    EXPECT_TRUE(engine.power().fieldPowerTicked());
    EXPECT_EQ(lpt.data(888) & 4, 4);
    EXPECT_EQ(state.StepCounter, 1); // ticking the box did not stop the turn
}

TEST_F(Turning, aDelayAboveOneSecond_handsTheTurnToTheSlowTimer) {
    setSlowest(2000);
    engine.SpeedScrolled(1500);
    turnTo(3);
    EXPECT_EQ(platform.steadyMs(), 0); // returned at once
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_TRUE(engine.slowTurnRunning());
    EXPECT_TRUE(engine.busyLock().isLocked());

    platform.advance(1500);
    EXPECT_EQ(state.StepCounter, 1);
    platform.advance(3000);
    EXPECT_EQ(state.StepCounter, 3);
    EXPECT_EQ(stepTimes(), (std::vector<double>{1500, 3000, 4500}));
    EXPECT_EQ(stepCodes(), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(view.housekeepingRuns, 3);

    platform.advance(1500); // arrived: the timer stops without a beep off the limits
    EXPECT_FALSE(engine.slowTurnRunning());
    EXPECT_TRUE(platform.beeps.empty());
    platform.advance(2500);
    EXPECT_FALSE(engine.busyLock().isLocked());
}

TEST_F(Turning, aSecondSlowTurnStartsAtTheFirstCodeOfItsSequence) {
    setSlowest(2000);
    engine.SpeedScrolled(1500);
    turnTo(2);
    platform.advance(4500);
    turnTo(5);
    platform.advance(6000);
    EXPECT_EQ(state.StepCounter, 5);
    EXPECT_EQ(stepCodes(), (std::vector<int>{1, 3, 3, 2, 0, 1})); // power-on repeats G(2)
}

TEST_F(Turning, stoppingASlowTurn_stopsItsTimer) {
    setSlowest(2000);
    engine.SpeedScrolled(1500);
    turnTo(10);
    platform.advance(3000);
    engine.SpeedScrolled(900); // the speed changed meanwhile
    engine.StopTurning();
    EXPECT_FALSE(engine.slowTurnRunning());
    platform.advance(10000);
    EXPECT_EQ(state.StepCounter, 2);
}
