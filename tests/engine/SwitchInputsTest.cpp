#include "EngineFixture.h"
#include "engine/LptInputs.h"
#include "port/InputPinTable.h"

using namespace engine_test;
using port::InputLabel;

namespace {

constexpr core::Long Blue = 0xFF0000;
constexpr core::Long Red = 0x0000FF;
constexpr core::Long Magenta = 0xFF00FF;

// The engine with the LPT inputs bound to it, the switches tested during every turn.
struct SwitchInputsTest : EngineFixture {
    engine::LptInputs inputs{state, platform, lpt, engine};
    port::SwitchInputs& switches = inputs.switches();

    SwitchInputsTest() { state.EndSwitches = true; }

    // The status register of port 888 reads these inputs (1 remote CCW ... 8 end switch).
    void setInputs(core::Long inputs) { lpt.setStatus(888, static_cast<std::uint8_t>(inputs * 8)); }
    // The inputs change as soon as the counter reaches position, during a turn.
    void setInputsAt(core::Long position, core::Long inputs) {
        closeAt_ = position;
        inputsAt_ = inputs;
        view.onCounter = [this](const QString& counter) {
            if (counter == QString::number(closeAt_))
                setInputs(inputsAt_);
        };
    }
    std::size_t dataWrites() const { return written().size(); }

private:
    core::Long closeAt_ = 0;
    core::Long inputsAt_ = 0;
};

} // namespace

TEST_F(SwitchInputsTest, beginSwitchClosingThreeAboveTheLimit_setsTheCounterAndActsOncePerClosing) {
    state.MinPosition = 10;
    state.StepCounter = 30;
    state.OverlayPosition = 0;
    setInputsAt(13, port::BeginInput);
    turnTo(10);
    EXPECT_EQ(state.StepCounter, 10);
    EXPECT_EQ(dataWrites(), 1u + 17u); // power on, then 30 -> 13: no step after the switch
    EXPECT_EQ(view.counters.back(), "10");
    EXPECT_EQ(switches.label().text, "Begin switch.");
    EXPECT_EQ(switches.label().color, Blue);
    EXPECT_TRUE(platform.beeps.empty()); // the loop did not stop on its target

    // Still closed: the counter moved on by hand is left alone until the switch opens.
    view.onCounter = nullptr;
    state.StepCounter = 40;
    EXPECT_FALSE(switches.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 40);
    setInputs(0);
    EXPECT_FALSE(switches.CheckSwitches());
    EXPECT_EQ(switches.label().text, "Inp(889)=0");
    EXPECT_EQ(switches.label().color, 0);
    setInputs(port::BeginInput);
    EXPECT_TRUE(switches.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 10);
}

TEST_F(SwitchInputsTest, aSwitchClosedWhereTheCounterAgrees_letsATurnLeaveIt) {
    setInputs(port::BeginInput); // at MinPosition 0 on the begin switch
    setInputsAt(3, 0);           // it opens three steps up
    turnTo(20);
    EXPECT_EQ(state.StepCounter, 20);
    EXPECT_EQ(switches.label().text, "Inp(889)=0");
}

TEST_F(SwitchInputsTest, endSwitchPastTheUpperLimit_stopsEverythingAndSetsTheOverlayFull) {
    state.StepCounter = 520; // set by hand beyond the limit
    state.TargetPosition = 600;
    engine.modes().shuttleOn = true;
    setInputs(port::EndInput);
    EXPECT_TRUE(switches.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 500);
    EXPECT_EQ(state.OverlayPosition, state.OverlaySteps);
    EXPECT_FALSE(engine.modes().shuttleOn);
    EXPECT_EQ(switches.label().color, Red);
}

TEST_F(SwitchInputsTest, centreMode_ignoresTheEndInputAndSetsTheCentreFromTheBeginPin) {
    state.CenterSwitch = true;
    state.CenterPosition = 250;
    state.StepCounter = 100;
    setInputs(port::EndInput);
    EXPECT_FALSE(switches.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(switches.label().text, "Inp(889)=8");

    setInputs(port::BeginInput | port::EndInput);
    EXPECT_TRUE(switches.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 250);
    EXPECT_EQ(state.OverlayPosition, state.OverlaySteps);
    EXPECT_EQ(switches.label().text, "Center switch.");
    EXPECT_EQ(switches.label().color, Blue);
}

TEST_F(SwitchInputsTest, showOnly_showsTheClosedEndSwitchAndTheTurnGoesOn) {
    state.SwitchesShowOnly = true;
    setInputsAt(5, port::EndInput);
    turnTo(20);
    EXPECT_EQ(state.StepCounter, 20);
    EXPECT_EQ(switches.label().text, "End switch.");
    EXPECT_EQ(switches.label().color, Red);
}

TEST_F(SwitchInputsTest, simulatedEndPress_actsOnceAndLeavesTheRealRegisterUnread) {
    setInputs(port::BeginInput); // the real register would say begin switch
    state.StepCounter = 100;
    state.SimulatedInput = port::EndInput;
    EXPECT_TRUE(switches.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 500);
    EXPECT_EQ(state.SimulatedInput, 0);
    EXPECT_EQ(switches.label().text, "End switch.");

    setInputs(0);
    state.StepCounter = 100;
    EXPECT_FALSE(switches.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 100);

    state.CenterSwitch = true; // a simulated end press is dropped in centre mode
    state.SimulatedInput = port::EndInput;
    EXPECT_FALSE(switches.CheckSwitches());
    EXPECT_EQ(state.SimulatedInput, 0);
}

TEST_F(SwitchInputsTest, simulationButtonsHeldOnTheSimulatedPort_actLikeTheirHardware) {
    port::InputSimulation& simulation = switches.simulation();
    state.RemoteTurning = true;
    simulation.MenuClicked();
    state.StepCounter = 100;
    simulation.press(2); // begin switch
    EXPECT_TRUE(switches.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_EQ(state.SimulatedInput, 0);
    state.StepCounter = 5;
    EXPECT_FALSE(switches.CheckSwitches()); // still held: closed, but it has acted
    EXPECT_EQ(switches.label().text, "Begin switch.");
    simulation.release(2);
    EXPECT_FALSE(switches.CheckSwitches());
    EXPECT_EQ(switches.label().text, "Inp(889)=0");

    state.EndSwitches = false;
    simulation.press(1); // remote CW, held for three ticks
    for (int tick = 0; tick < 3; ++tick)
        switches.HousekeepingTick();
    simulation.release(1);
    switches.HousekeepingTick();
    EXPECT_EQ(state.StepCounter, 8);
}

TEST_F(SwitchInputsTest, remoteCwHeldForThreeTicks_makesThreeStepsAtTheFastestDelay) {
    state.EndSwitches = false;
    state.RemoteTurning = true;
    engine.SpeedScrolled(15);
    setInputs(port::RemoteCwInput);
    for (int tick = 0; tick < 3; ++tick) {
        const double start = platform.steadyMs();
        switches.HousekeepingTick();
        EXPECT_EQ(platform.steadyMs() - start, state.FastestDelayMs); // one step, one wait
        platform.advance(1000);
    }
    EXPECT_EQ(state.StepCounter, 3);
    EXPECT_EQ(state.StepDelayMs, 15);
    EXPECT_EQ(switches.label().text, "Remote CW.");
    EXPECT_EQ(switches.label().color, Magenta);
    EXPECT_TRUE(switches.label().visible);

    setInputs(0);
    switches.HousekeepingTick();
    EXPECT_EQ(state.StepCounter, 3);
    EXPECT_EQ(switches.label().text, "Inp(889)=0");
}

TEST_F(SwitchInputsTest, aSwitchSeenByTheHousekeepingTick_endsASlowTurn) {
    state.StepCounter = 50;
    setSlowest(2000);
    engine.SpeedScrolled(1500);
    turnTo(0);
    ASSERT_TRUE(engine.slowTurnRunning());
    platform.advance(3000);
    EXPECT_EQ(state.StepCounter, 48);
    setInputs(port::BeginInput);
    switches.HousekeepingTick();
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_FALSE(engine.slowTurnRunning());
}

TEST_F(SwitchInputsTest, centreSwitchEntry_asksForTheMiddleAndRefusesAValueOutsideWithABeep) {
    state.EndSwitches = false;
    state.MinPosition = 100;
    platform.answerNextInput("320");
    switches.CenterSwitchClicked();
    ASSERT_EQ(platform.inputs.size(), 1u);
    EXPECT_EQ(platform.inputs[0].prompt, "Give the center position between  100 to 500");
    EXPECT_EQ(platform.inputs[0].title, "Ventrolo.Version 1.24");
    EXPECT_EQ(platform.inputs[0].defaultText, "300");
    EXPECT_EQ(state.CenterPosition, 320);
    EXPECT_TRUE(state.CenterSwitch && state.EndSwitches);
    EXPECT_TRUE(switches.menuChecks().centerSwitch);
    EXPECT_EQ(switches.menuChecks().centerCaption, "Center switch(320)...");

    switches.CenterSwitchClicked(); // already checked: no question
    EXPECT_EQ(platform.inputs.size(), 1u);

    switches.AllSwitchesOffClicked();
    for (const QString answer : {"600", "abc"}) {
        platform.answerNextInput(answer);
        switches.CenterSwitchClicked();
        EXPECT_EQ(state.CenterPosition, 320);
        EXPECT_TRUE(state.CenterSwitch && state.EndSwitches); // switched on all the same
        switches.AllSwitchesOffClicked();
    }
    EXPECT_EQ(platform.beeps.size(), 2u);

    platform.answerNextInput(""); // Cancel changes nothing
    switches.CenterSwitchClicked();
    EXPECT_EQ(state.CenterPosition, 320);
    EXPECT_FALSE(state.CenterSwitch || state.EndSwitches);
    EXPECT_EQ(platform.beeps.size(), 2u);
}

TEST_F(SwitchInputsTest, switchEntries_setTheModesChecksAndLabelAndCloseTheSimulation) {
    state.EndSwitches = false;
    switches.SwitchMenus(0);
    EXPECT_FALSE(switches.label().visible);

    switches.BeginEndSwitchesClicked();
    EXPECT_TRUE(state.EndSwitches);
    EXPECT_FALSE(state.CenterSwitch);
    EXPECT_TRUE(switches.menuChecks().beginEndSwitches);
    EXPECT_TRUE(switches.label().visible);

    switches.ShowOnlyClicked();
    EXPECT_TRUE(state.SwitchesShowOnly && switches.menuChecks().showOnly);
    switches.ShowOnlyClicked();
    EXPECT_FALSE(state.SwitchesShowOnly);

    switches.RemoteTurningClicked();
    switches.simulation().MenuClicked();
    ASSERT_TRUE(switches.menuChecks().simulation);
    state.SimulatedInput = 2;
    switches.AllSwitchesOffClicked();
    EXPECT_FALSE(state.EndSwitches || state.SwitchesShowOnly || state.CenterSwitch);
    EXPECT_TRUE(state.RemoteTurning);
    EXPECT_FALSE(switches.menuChecks().simulation);
    EXPECT_EQ(state.SimulatedInput, 0);
    EXPECT_TRUE(switches.label().visible); // remote turning still reads the inputs

    switches.RemoteTurningClicked();
    EXPECT_FALSE(switches.label().visible);
}

TEST_F(SwitchInputsTest, startUp_showsTheRawStatusRegister) {
    lpt.setStatus(888, 0x7F);
    switches.ShowStatusRegister();
    EXPECT_EQ(switches.label().text, "Inp(889)=127");
}
