#include "EngineFixture.h"
#include "port/InputPinTable.h"

using namespace engine_test;

namespace {

constexpr core::Long Blue = 0xFF0000;
constexpr core::Long Red = 0x0000FF;

// The switches tested during every turn.
struct SwitchInputsTest : EngineFixture {
    SwitchInputsTest() { state.EndSwitches = true; }

    // The inputs change as soon as the counter reaches position, during a turn.
    void setInputsAt(core::Long position, core::Long inputs) {
        onCounter = [this, position, inputs](core::Long counter) {
            if (counter == position)
                setInputs(inputs);
        };
    }
};

} // namespace

TEST_F(SwitchInputsTest, beginSwitchClosingThreeAboveTheLimit_setsTheCounterOncePerClosing) {
    state.MinPosition = 10;
    state.StepCounter = 30;
    setInputsAt(13, port::BeginInput);
    turnTo(10);
    EXPECT_EQ(state.StepCounter, 10);
    EXPECT_EQ(written().size(), 1u + 17u); // power on, then 30 -> 13: no step after the switch
    EXPECT_EQ(counters.back(), 10);
    EXPECT_EQ(switches.label().text, "Begin switch.");
    EXPECT_EQ(switches.label().color, Blue);
    EXPECT_TRUE(platform.beeps.empty()); // the loop did not stop on its target

    // Still closed: the counter moved on by hand is left alone until the switch opens.
    onCounter = nullptr;
    state.StepCounter = 40;
    EXPECT_FALSE(engine.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 40);
    setInputs(0);
    EXPECT_FALSE(engine.CheckSwitches());
    EXPECT_EQ(switches.label().text, "Inp(889)=0");
    setInputs(port::BeginInput);
    EXPECT_TRUE(engine.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 10);
}

TEST_F(SwitchInputsTest, aSwitchClosedWhereTheCounterAgrees_letsATurnLeaveIt) {
    setInputs(port::BeginInput); // at MinPosition 0 on the begin switch
    setInputsAt(3, 0);           // it opens three steps up
    turnTo(20);
    EXPECT_EQ(state.StepCounter, 20);
}

TEST_F(SwitchInputsTest, endSwitchPastTheUpperLimit_stopsEverythingAndSetsTheOverlayFull) {
    state.StepCounter = 520; // set by hand beyond the limit
    windowModes.modes().shuttleOn = true;
    setInputs(port::EndInput);
    EXPECT_TRUE(engine.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 500);
    EXPECT_EQ(state.OverlayPosition, state.OverlaySteps);
    EXPECT_FALSE(windowModes.modes().shuttleOn);
    EXPECT_EQ(switches.label().color, Red);
}

TEST_F(SwitchInputsTest, centreMode_ignoresTheEndInputAndSetsTheCentreFromTheBeginPin) {
    state.CenterSwitch = true;
    state.StepCounter = 100;
    setInputs(port::EndInput);
    EXPECT_FALSE(engine.CheckSwitches());
    EXPECT_EQ(switches.label().text, "Inp(889)=8");
    setInputs(port::BeginInput | port::EndInput);
    EXPECT_TRUE(engine.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 250);
    EXPECT_EQ(switches.label().text, "Center switch.");
}

TEST_F(SwitchInputsTest, showOnly_showsTheClosedEndSwitchAndTheTurnGoesOn) {
    state.SwitchesShowOnly = true;
    setInputsAt(5, port::EndInput);
    turnTo(20);
    EXPECT_EQ(state.StepCounter, 20);
    EXPECT_EQ(switches.label().text, "End switch.");
}

TEST_F(SwitchInputsTest, simulatedPresses_actOnceAndHeldButtonsActLikeTheirHardware) {
    setInputs(port::BeginInput); // the real register would say begin switch
    state.StepCounter = 100;
    state.SimulatedInput = port::EndInput;
    EXPECT_TRUE(engine.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 500);
    EXPECT_EQ(state.SimulatedInput, 0);

    setInputs(0);
    EXPECT_FALSE(engine.CheckSwitches()); // seen open: the next closing acts again
    port::InputSimulation& simulation = switches.simulation();
    simulation.MenuClicked();
    simulation.press(2); // begin switch, held
    EXPECT_TRUE(engine.CheckSwitches());
    EXPECT_EQ(state.StepCounter, 0);
    state.StepCounter = 5;
    EXPECT_FALSE(engine.CheckSwitches()); // still held: closed, but it has acted
    simulation.release(2);
    EXPECT_FALSE(engine.CheckSwitches());
    EXPECT_EQ(switches.label().text, "Inp(889)=0");

    state.CenterSwitch = true; // a simulated end press is dropped in centre mode
    state.SimulatedInput = port::EndInput;
    EXPECT_FALSE(engine.CheckSwitches());
    EXPECT_EQ(state.SimulatedInput, 0);
}

TEST_F(SwitchInputsTest, centreSwitchEntry_readsTheLeadingNumberAndSwitchesOnAlsoOnCancel) {
    state.EndSwitches = false;
    state.MinPosition = 100;
    platform.answerNextInput("320 steps");
    switches.CenterSwitchClicked();
    ASSERT_EQ(platform.inputs.size(), 1u);
    EXPECT_EQ(platform.inputs[0].defaultText, "300");
    EXPECT_EQ(state.CenterPosition, 320);
    EXPECT_TRUE(state.CenterSwitch && state.EndSwitches);
    switches.CenterSwitchClicked(); // already checked: no question
    EXPECT_EQ(platform.inputs.size(), 1u);

    for (const QString answer : {"600", ""}) { // outside the limits, Cancel
        switches.AllSwitchesOffClicked();
        platform.answerNextInput(answer);
        switches.CenterSwitchClicked();
        EXPECT_EQ(state.CenterPosition, 320);
        EXPECT_TRUE(state.CenterSwitch && state.EndSwitches); // switched on all the same
    }
    EXPECT_EQ(platform.beeps.size(), 1u); // only the refused value beeps
}

TEST_F(SwitchInputsTest, allSwitchesOff_closesTheSimulationButRemoteTurningStillReadsTheInputs) {
    state.CenterSwitch = state.SwitchesShowOnly = true;
    switches.RemoteTurningClicked();
    switches.simulation().MenuClicked();
    state.SimulatedInput = 2;
    switches.AllSwitchesOffClicked();
    EXPECT_FALSE(state.EndSwitches || state.SwitchesShowOnly || state.CenterSwitch);
    EXPECT_TRUE(state.RemoteTurning);
    EXPECT_FALSE(switches.menuChecks().simulation);
    EXPECT_EQ(state.SimulatedInput, 0);
    EXPECT_TRUE(switches.label().visible);
}
