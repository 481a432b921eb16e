#include "engine/WheelControl.h"

#include "EngineFixture.h"
#include "engine/KeyCodes.h"

#include <QSignalSpy>

using namespace engine_test;
using engine::ShiftHeld;
using engine::WheelControl;
using engine::WheelFunction;

namespace {

// The table window as the wheel sees it: a list of rows with one selected.
struct FakeTable : engine::TableWheel {
    bool rigOpen = false;
    int rows = 3;
    int selected = 0;
    std::vector<QString> calls;

    bool rigPortOpen() const override { return rigOpen; }
    bool selectRowBy(int offset) override {
        const int row = selected + offset;
        if (row < 0 || row >= rows)
            return false;
        selected = row;
        return true;
    }
    void turnToSelectedRow() override { calls.push_back(QStringLiteral("turn %1").arg(selected)); }
    void changeFrequencyJump(int delta) override {
        calls.push_back(QStringLiteral("jump size %1").arg(delta));
    }
    void jumpFrequency(bool up) override { calls.push_back(up ? "jump up" : "jump down"); }
    void resetJumpLabel() override { calls.push_back("white"); }
    void wheelFunctionChanged() override { calls.push_back("shown"); }
};

struct Wheel : EngineFixture {
    WheelControl wheel{state, engine};
    FakeTable table;

    Wheel() {
        wheel.InitWheelFunctions(true);
        state.StepCounter = 200;
        state.TargetPosition = 200;
    }
    void openTable() {
        wheel.setTableWheel(&table);
        state.TableWindowShown = true;
    }
    std::vector<QString> cycle(int presses) {
        std::vector<QString> captions{wheel.display().scrollCaption};
        for (int i = 0; i < presses; ++i) {
            wheel.SelectWheelFunction(0);
            captions.push_back(wheel.display().scrollCaption);
        }
        return captions;
    }
};

using Captions = std::vector<QString>;

} // namespace

TEST_F(Wheel, theCycleSkipsTheTableFunctionsWithoutTheTableWindowAndTheRigsPort) {
    EXPECT_EQ(cycle(2), (Captions{"Stepper", "Speed", "Stepper"}));
    state.TableWindowShown = true; // marked shown, but no window implements the table
    EXPECT_EQ(cycle(2), (Captions{"Stepper", "Speed", "Stepper"}));

    openTable();
    EXPECT_EQ(cycle(3), (Captions{"Stepper", "Table", "Speed", "Stepper"}));
    table.rigOpen = true;
    EXPECT_EQ(cycle(4), (Captions{"Stepper", "Table", "Frequency", "Speed", "Stepper"}));
    EXPECT_EQ(std::count(table.calls.begin(), table.calls.end(), "shown"), 7);
}

TEST_F(Wheel, theMenuEntriesChooseWithinTheCycle_andTheirEnablesFollowTheTableWindow) {
    QSignalSpy changed(&wheel, &WheelControl::displayChanged);
    wheel.ChooseWheelFunction(WheelFunction::Table);
    EXPECT_EQ(wheel.function(), WheelFunction::Speed);
    EXPECT_FALSE(wheel.display().tableEntryEnabled || wheel.display().frequencyEntryEnabled);

    openTable();
    wheel.ChooseWheelFunction(WheelFunction::Frequency);
    EXPECT_EQ(wheel.function(), WheelFunction::Speed); // the rig's port is closed
    wheel.ChooseWheelFunction(WheelFunction::Table);
    EXPECT_EQ(wheel.display().checked, WheelFunction::Table);
    EXPECT_TRUE(wheel.display().tableEntryEnabled);
    EXPECT_FALSE(wheel.display().frequencyEntryEnabled);
    table.rigOpen = true;
    wheel.ChooseWheelFunction(WheelFunction::Frequency);
    EXPECT_EQ(wheel.function(), WheelFunction::Frequency);
    EXPECT_TRUE(wheel.display().frequencyEntryEnabled);
    wheel.ChooseWheelFunction(WheelFunction::Stepper);
    EXPECT_EQ(state.WheelFunctionNames[0], "Stepper");
    EXPECT_EQ(changed.count(), 5);
}

TEST_F(Wheel, withoutAWheelTheScrollButtonSaysSoAndIsDisabled) {
    wheel.InitWheelFunctions(false);
    EXPECT_EQ(wheel.display().scrollCaption, "No Wheel");
    EXPECT_FALSE(wheel.display().scrollEnabled);
    EXPECT_TRUE(state.WheelToolTip.startsWith("Switch mousewheel functions. V"));
}

TEST_F(Wheel, stepperFunction_aNotchAwayStepsUpAndTowardsDown_tenWithShift) {
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(state.StepCounter, 201);
    wheel.HandleWheel(2, 0);
    EXPECT_EQ(state.StepCounter, 199);
    wheel.HandleWheel(-1, ShiftHeld);
    EXPECT_EQ(state.StepCounter, 209);
    EXPECT_EQ(state.StepDelayMs, 15); // the steps were made at the fastest delay
}

TEST_F(Wheel, withTheOverlayActive_aNotchUpFillsTheOverlayFirstThenStepsUp) {
    state.OverlayMenu = state.OverlayOn = true;
    state.OverlayPosition = 8;
    const int yieldsBefore = platform.yields;
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(state.OverlayPosition, 9);
    EXPECT_EQ(state.StepCounter, 200);
    EXPECT_EQ(platform.yields, yieldsBefore); // overlay steps serve no events
    EXPECT_FALSE(state.NoYield);

    wheel.HandleWheel(-1, 0);
    ASSERT_EQ(state.OverlayPosition, state.OverlaySteps); // full
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(state.StepCounter, 201);
    EXPECT_EQ(state.OverlayPosition, state.OverlaySteps);

    wheel.HandleWheel(1, ShiftHeld); // down: 5 overlay steps back at once with Shift
    EXPECT_EQ(state.OverlayPosition, 5);
    EXPECT_EQ(state.StepCounter, 201);
    state.OverlayPosition = 0;
    wheel.HandleWheel(1, 0);
    EXPECT_EQ(state.StepCounter, 200);
}

TEST_F(Wheel, withBothSteppersTheWebcamWindowShowsThePictureOfTheDirection) {
    std::vector<bool> pictures;
    wheel.showWebcamPicture = [&](bool second) { pictures.push_back(second); };
    wheel.HandleWheel(-1, 0);
    state.BothSteppersPin6 = true;
    wheel.HandleWheel(-1, 0);
    wheel.HandleWheel(1, 0);
    EXPECT_EQ(pictures, (std::vector<bool>{true, false}));
}

TEST_F(Wheel, speedFunction_aNotchAwayLengthensTheDelayWithinTheScrollBar) {
    wheel.SelectWheelFunction(0);
    ASSERT_EQ(wheel.function(), WheelFunction::Speed);
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(state.CustomDelayMs, 16);
    wheel.HandleWheel(1, ShiftHeld);
    EXPECT_EQ(state.CustomDelayMs, 6);
    wheel.HandleWheel(3, ShiftHeld);
    EXPECT_EQ(state.CustomDelayMs, state.FastestDelayMs);
    EXPECT_EQ(state.StepDelayMs, state.FastestDelayMs);
}

TEST_F(Wheel, tableFunction_turnsToTheNextRowAndDoesNothingPastTheLast) {
    openTable();
    wheel.ChooseWheelFunction(WheelFunction::Table);
    table.calls.clear();
    state.RigFollowHalted = true;
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(table.selected, 1);
    EXPECT_FALSE(state.RigFollowHalted);
    EXPECT_EQ(table.calls, (Captions{"turn 1", "white"}));

    table.selected = 2; // the last row
    state.RigFollowHalted = true;
    engine.modes().shuttleOn = true;
    table.calls.clear();
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(table.selected, 2);
    EXPECT_TRUE(state.RigFollowHalted);
    EXPECT_TRUE(engine.modes().shuttleOn); // no stop either
    EXPECT_EQ(table.calls, (Captions{"white"}));
    wheel.HandleWheel(1, 0);
    EXPECT_EQ(table.selected, 1);

    state.TableWindowShown = false; // closed: the function does nothing
    table.calls.clear();
    wheel.HandleWheel(1, 0);
    EXPECT_TRUE(table.calls.empty());
}

TEST_F(Wheel, frequencyFunction_jumpsOrWithShiftChangesTheJumpSize) {
    openTable();
    table.rigOpen = true;
    wheel.ChooseWheelFunction(WheelFunction::Frequency);
    table.calls.clear();
    wheel.HandleWheel(-1, 0);
    wheel.HandleWheel(1, 0);
    wheel.HandleWheel(-2, ShiftHeld);
    EXPECT_EQ(table.calls, (Captions{"jump up", "white", "jump down", "white", "jump size -2"}));
}
