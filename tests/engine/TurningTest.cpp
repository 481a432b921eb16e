#include "EngineFixture.h"
#include "panel/PortCommands.h"

#include <QSignalSpy>
#include <limits>

using namespace engine_test;
using core::Long;
using Bytes = std::vector<std::uint8_t>;

using Turning = EngineFixture;

TEST_F(Turning, upToEightAndBack_writesTheGrayCycleWithTheEnableBitsBothWays) {
    state.StepCounter = 0;
    turnTo(8);
    turnTo(0);
    EXPECT_EQ(written(), (Bytes{4, 5, 7, 6, 4, 5, 7, 6, 4,    // power on, G(1)..G(8)
                                4, 6, 7, 5, 4, 6, 7, 5, 4})); // power on, G(7)..G(0)
    EXPECT_EQ(counters.back(), 0);

    state.SelectedStepper = 1; // stepper 2 with both drivers, pin 6 and the offset
    state.BothSteppersPin6 = true;
    state.LptExtraBits = 192;
    drive.coil().UpdateStepperBits();
    state.StepCounter = 2;
    engine.StepBy(-1, 0, engine::TurnOrigin::Window);
    EXPECT_EQ(written().back(), 2 + 28 + 192);
}

TEST_F(Turning, throughZeroFromAHandEditedNegativePosition_staysOnTheCycle) {
    state.MinPosition = -10;
    state.StepCounter = -2;
    turnTo(2);
    EXPECT_EQ(stepCodes(), (std::vector<int>{2, 0, 1, 3})); // G(-1), G(0), G(1), G(2)
}

TEST_F(Turning, beepsWhenItStopsOnALimit_andACounterBeyondALimitMovesNothingThatWay) {
    turnTo(8);
    EXPECT_TRUE(platform.beeps.empty());
    turnTo(-40); // held at the lower limit
    EXPECT_EQ(state.StepCounter, 0);
    ASSERT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(platform.beeps[0], platform.steadyMs()); // at the end of the turn

    state.StepCounter = 600;
    clearTrace();
    turnTo(700);
    EXPECT_EQ(state.StepCounter, 600);
    EXPECT_EQ(state.TargetPosition, 500);
    EXPECT_EQ(lpt.writes().size(), 1u); // only the driver enabled
    turnTo(498);                        // a turn down brings it back inside
    EXPECT_EQ(state.StepCounter, 498);
}

TEST_F(Turning, aStopTwentyFiveMsIntoATenMsTurn_endsItAfterThreeSteps) {
    speedPanel.SpeedScrolled(10);
    platform.scheduleAfter(25, [this] { engine.StopTurningAndFollowing(); });
    turnTo(100);
    EXPECT_EQ(state.StepCounter, 3);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(platform.steadyMs(), 30); // the loop leaves at the next step's time
    EXPECT_FALSE(state.StopRequest);    // forgotten once the loop ended
}

TEST_F(Turning, stepByWithShift_turnsTenStepsAtTheFastestSpeedAndKeepsTheSetSpeed) {
    state.StepCounter = 50;
    engine.StepBy(1, 16, engine::TurnOrigin::Window);
    EXPECT_EQ(state.StepCounter, 40);
    EXPECT_EQ(stepTimes()[1] - stepTimes()[0], 2); // FastestDelayMs
    EXPECT_EQ(state.StepDelayMs, 15);

    constexpr Long top = std::numeric_limits<Long>::max();
    state.MaxPosition = top;
    state.StepCounter = top - 2;
    engine.StepBy(-10, 16, engine::TurnOrigin::Window);
    EXPECT_EQ(state.StepCounter, top); // never wraps
}

TEST_F(Turning, aTurnStartedInsideAnotherTurn_endsTheFirst) {
    QSignalSpy started(&engine, &engine::Engine::turnStarted);
    QSignalSpy ended(&engine, &engine::Engine::turnEnded);
    speedPanel.SpeedScrolled(10);
    platform.scheduleAfter(25, [this] {
        engine.TurnTo({1, engine::TurnOrigin::Window});
    }); // the rig, without a stop
    turnTo(100);
    EXPECT_EQ(state.StepCounter, 1);
    EXPECT_EQ(started.count(), 1); // told once, for the outermost
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(Turning, aSingleStepAtADelayAboveOneSecond_isMadeAtOnceAndWaitsItsDelay) {
    setSlowSpeed(1500);
    state.StepCounter = 10;
    turnTo(11);
    EXPECT_EQ(state.StepCounter, 11);
    EXPECT_FALSE(engine.slowTurnRunning());
    EXPECT_EQ(platform.steadyMs(), 1500);
}

TEST_F(Turning, aDelayAboveOneSecond_handsTheTurnToTheSlowTimerWhichStopsOnAStop) {
    setSlowSpeed(1500);
    QSignalSpy slowSteps(&engine, &engine::Engine::slowStepMade);
    turnTo(3);
    EXPECT_EQ(platform.steadyMs(), 0); // returned at once
    EXPECT_TRUE(engine.slowTurnRunning());
    EXPECT_TRUE(windowModes.busyLock().isLocked());
    platform.advance(4500);
    EXPECT_EQ(state.StepCounter, 3);
    EXPECT_EQ(stepTimes(), (std::vector<double>{1500, 3000, 4500}));
    EXPECT_EQ(stepCodes(), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(slowSteps.count(), 3);
    platform.advance(1500); // arrived: the timer stops without a beep off the limits
    EXPECT_FALSE(engine.slowTurnRunning());
    EXPECT_TRUE(platform.beeps.empty());

    turnTo(10);
    platform.advance(3000);
    engine.StopTurningAndFollowing();
    platform.advance(10000);
    EXPECT_EQ(state.StepCounter, 5);
}

TEST_F(Turning, aSlowTurnTakesEachNewSpeedOfThePanelFromThen_theBarAndFast) {
    setSlowSpeed(1500);
    turnTo(10);
    platform.advance(1500);
    speedPanel.SpeedScrolled(2000);
    platform.advance(4000);
    EXPECT_EQ(stepTimes(), (std::vector<double>{1500, 3500, 5500}));
    speedPanel.ToggleFastCustom(); // the fastest delay, 2 ms
    platform.advance(100);
    EXPECT_EQ(state.StepCounter, 10);
    EXPECT_FALSE(engine.slowTurnRunning());
}

TEST_F(Turning, aSlowTurn_writesWhatTheSameTurnAtSpeedWrites_inTheSameOrder) {
    state.StepCounter = 10;
    clearTrace();
    turnTo(16);
    turnTo(10);
    const Bytes atSpeed = written();

    state.StepCounter = 10; // where it was: the same phase offset
    clearTrace();
    setSlowSpeed(1500);
    turnTo(16);
    platform.advance(6 * 1500);
    turnTo(10);
    platform.advance(7 * 1500);
    EXPECT_FALSE(engine.slowTurnRunning());
    EXPECT_EQ(written(), atSpeed);
}

TEST_F(Turning, aTurnTakesTheBusyLockAndTicksFieldpowerWithManualPower) {
    QSignalSpy setOut(&engine, &engine::Engine::counterTurnSetOut);
    panel::PortCommands port{engine, drive};
    port.AutoPowerClicked(false);
    EXPECT_EQ(lpt.data(888) & 4, 0);
    turnTo(2);
    EXPECT_TRUE(drive.power().fieldPowerTicked());
    EXPECT_EQ(lpt.data(888) & 4, 4);
    EXPECT_EQ(state.StepCounter, 2);
    EXPECT_FALSE(setOut.isEmpty()) << "the stepper options are disabled";
    EXPECT_TRUE(windowModes.busyLock().unlockPending());
    platform.advance(2500);
    EXPECT_FALSE(windowModes.busyLock().isLocked());
}

TEST_F(Turning, stopTurningEndsTheModesAndTellsTheOtherWindows) {
    QSignalSpy stopped(&engine, &engine::Engine::stopped);
    windowModes.modes().shuttleOn = true;
    windowModes.modes().calibrationRunning = true;
    engine.StopTurningAndFollowing();
    EXPECT_FALSE(windowModes.modes().shuttleOn || windowModes.modes().calibrationRunning);
    EXPECT_TRUE(state.RigFollowHalted);
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(Turning, switchingToStepperTwoAndBack_restoresStepperOneAndPutsEachPositionsCode) {
    QSignalSpy switched(&engine, &engine::Engine::stepperSwitched);
    state.StepCounter = 123;
    state.MinPosition = -20;
    state.CustomDelayMs = 40;
    state.GotoStepValue = 12;
    state.StoredProfiles[1].StepCounter = 5;
    lpt.Out32(888, port::CoilCode(123) + 4);
    engine.SwitchStepper(1);
    EXPECT_EQ(state.SelectedStepper, 1);
    EXPECT_EQ(state.StepCounter, 5);
    EXPECT_EQ(state.StepperBits, 8);
    // Stepper 2 never ran: the code of its counter, never 0 (which would pull it a step back).
    EXPECT_EQ(lpt.data(888), port::CoilCode(5));

    engine.SwitchStepper(0);
    EXPECT_EQ(state.StepCounter, 123);
    EXPECT_EQ(state.MinPosition, -20);
    EXPECT_EQ(state.CustomDelayMs, 40);
    EXPECT_EQ(state.GotoStepValue, 12);
    EXPECT_EQ(lpt.data(888), port::CoilCode(123)); // its driver still off
    EXPECT_EQ(switched.count(), 2);
    engine.SwitchStepper(0); // the same stepper: nothing to rebuild
    EXPECT_EQ(switched.count(), 2);
}

TEST_F(Turning, theTimerTablesTurnOfTheOtherStepper_insideATurn_startsFromItsOwnCoilCode) {
    state.StoredProfiles[1].StepCounter = 6; // coil code 3
    speedPanel.SpeedScrolled(10);
    platform.scheduleAfter(25, [this] { engine.TurnStepperTo(1, 8); });
    turnTo(100);
    EXPECT_EQ(state.SelectedStepper, 1);
    EXPECT_EQ(state.StepCounter, 8);
    EXPECT_EQ(state.StoredProfiles[0].StepCounter, 3);
    EXPECT_TRUE(state.StoredProfiles[0].TimerWindowShown);
    const Bytes values = written();
    // Stepper 2's coil code alone, then its driver on with that code, then G(7), G(8).
    EXPECT_EQ(Bytes(values.end() - 4, values.end()), (Bytes{3, 3 + 8, 2 + 8, 0 + 8}));
    EXPECT_FALSE(engine.TurnStepperTo(2, 7)); // no third stepper
}

TEST_F(Turning, settingTheCounter_leavesTheMotorsCodeOnThePort_andTheNextStepIsOnePhaseOn) {
    turnTo(102);
    ASSERT_EQ(lpt.data(888) & 3, 3);
    clearTrace();
    engine.SetCounter(100, 0); // as the table's "Set counter to interpol value"
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_TRUE(written().empty());
    turnTo(101);
    EXPECT_EQ(written().front() & 3, 3); // powered on where it stands
    EXPECT_EQ(stepCodes(), (std::vector<int>{2}));
    clearTrace();
    turnTo(99);
    EXPECT_EQ(stepCodes(), (std::vector<int>{3, 1}));

    // By hand: the outputs off while asking, then the code the motor stands on.
    clearTrace();
    platform.answerNextInput("250");
    counterByHand.Ask();
    EXPECT_EQ(state.StepCounter, 250);
    EXPECT_EQ(written(), (Bytes{0, 1}));

    // The begin switch closes as the motor steps down to 247 (codes 0, 2, 3): the counter
    // becomes the lower limit where the motor stands, on code 3, and the next step up is 2.
    state.EndSwitches = true;
    onCounter = [this](Long counter) {
        if (counter == 247)
            setInputs(port::BeginInput);
    };
    clearTrace();
    turnTo(200);
    EXPECT_EQ(stepCodes(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(state.StepCounter, state.MinPosition);
    onCounter = nullptr;
    setInputs(0);
    clearTrace();
    turnTo(1);
    EXPECT_EQ(written().front() & 3, 3);
    EXPECT_EQ(stepCodes(), (std::vector<int>{2}));
}

TEST_F(Turning, degreesHaveOneDecimal_andNoStepsPerTurnHidesThem) {
    for (auto [counter, text] :
         std::vector<std::pair<Long, QString>>{{0, " 0.0°"}, {-1, " -1.8°"}}) {
        state.StepCounter = counter;
        engine.ShowPosition();
        EXPECT_EQ(degrees.back(), text) << counter;
    }
    state.StepsPer360 = 0;
    engine.LimitsOrScaleChanged();
    EXPECT_EQ(state.DegreesPerStep, 360);
    EXPECT_FALSE(presenter.view().degreesVisible);
    degrees.clear();
    turnTo(3);
    EXPECT_TRUE(degrees.empty());
}

TEST_F(Turning, aDeviceFailingMidTurn_endsTheTurnAtTheLastStepItTook_andNoTurnFollows) {
    const auto before = written().size();
    watchedLpt.failWriteAt = 21; // the power-on write and 19 steps reach the motor
    engine.TurnTo({100, engine::TurnOrigin::Window});
    EXPECT_EQ(written().size() - before, 20u);
    EXPECT_EQ(state.StepCounter, 19);

    engine.TurnTo({50, engine::TurnOrigin::Window});
    EXPECT_EQ(state.StepCounter, 19);
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_TRUE(platform.messages.back().text.contains("no longer driven"));
}
