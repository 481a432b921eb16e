#include "PanelFixture.h"
#include "engine/KeyCodes.h"
#include "engine/WheelControl.h"
#include "engine/WheelNotches.h"
#include "panel/KeyControl.h"

#include <QSignalSpy>

using namespace panel_test;
using namespace engine::VirtualKey;
using engine::AltMask;
using engine::ShiftHeld;
using engine::WheelFunction;

namespace {

// The table window's logic as the wheel sees it: a list of rows with one selected.
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
};

struct KeysAndWheel : EngineFixture {
    panel::KeyControl keys{state, platform, engine, speedPanel};
    engine::WheelControl wheel{state, engine, speedControl};
    FakeTable table;

    KeysAndWheel() {
        QObject::connect(&wheel, &engine::WheelControl::speedScrolled, &speedPanel,
                         &panel::SpeedPanel::SpeedScrolled);
        wheel.InitWheelFunctions(true);
        state.StepCounter = 200;
    }
    void press(int keyCode, int shift = 0) { keys.HandleKey(keyCode, shift); }
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

TEST_F(KeysAndWheel, ninetyDegreeKeysTurnFiftyStepsAtOnePointEightAndOneTwentyFiveAtPointSevenTwo) {
    press(PageUp);
    EXPECT_EQ(state.StepCounter, 250);
    press(Numpad0 + 9); // keypad 9 is the other way
    EXPECT_EQ(state.StepCounter, 200);
    state.StepsPer360 = 500;
    engine.LimitsOrScaleChanged();
    press(Numpad0 + 3);
    EXPECT_EQ(state.StepCounter, 325);
    state.StepCounter = 450;
    press(PageUp); // held at the upper limit
    EXPECT_EQ(state.StepCounter, 500);
    press('L');
    EXPECT_EQ(state.StepCounter, 0);
    press('U');
    press(Numpad0 + 8);
    EXPECT_EQ(state.StepCounter, 2);
}

TEST_F(KeysAndWheel, slowerAndFasterStopAtTheEndsOfTheSpeedRange) {
    press('N');
    EXPECT_EQ(state.CustomDelayMs, 16);
    speedPanel.SpeedScrolled(state.SlowestDelayMs);
    state.StepDelayMs = 7; // as in the middle of a speed ramp
    press('N');
    EXPECT_EQ(state.StepDelayMs, 7); // the speed was not set again
    speedPanel.SpeedScrolled(3);
    press('M');
    press('M');
    EXPECT_EQ(state.CustomDelayMs, 2);
    EXPECT_EQ(speedControl.speedButtonCaption(), "Fa&st");
}

TEST_F(KeysAndWheel, escSpaceAndAltCombinationsStopATurn_altF4AsksForTheExit) {
    QSignalSpy exits(&keys, &panel::KeyControl::exitRequested);
    for (const auto& [key, shift] : {std::pair{Escape, 0}, {Space, 0}, {'X', AltMask}}) {
        state.StepCounter = 0;
        platform.scheduleAfter(50, [this, key, shift] { press(key, shift); });
        turnTo(100);
        EXPECT_LT(state.StepCounter, 10) << key;
    }
    press(F4, AltMask);
    press(F4);
    EXPECT_EQ(exits.count(), 1);
    // The keypad has codes of its own; the main keyboard's digits are other keys.
    EXPECT_EQ(engine::VirtualKeyCode(Qt::Key_3, Qt::KeypadModifier), Numpad0 + 3);
    EXPECT_EQ(engine::VirtualKeyCode(Qt::Key_3, Qt::NoModifier), '3');
}

TEST_F(KeysAndWheel, wheelCycleSkipsTheTableFunctionsWithoutTheTableWindowAndTheRigsPort) {
    EXPECT_EQ(cycle(2), (Captions{"Stepper", "Speed", "Stepper"}));
    state.TableWindowShown = true; // marked shown, but no table logic is there
    EXPECT_EQ(cycle(2), (Captions{"Stepper", "Speed", "Stepper"}));
    openTable();
    EXPECT_EQ(cycle(3), (Captions{"Stepper", "Table", "Speed", "Stepper"}));
    table.rigOpen = true;
    EXPECT_EQ(cycle(4), (Captions{"Stepper", "Table", "Frequency", "Speed", "Stepper"}));
    wheel.ChooseWheelFunction(WheelFunction::Frequency);
    EXPECT_EQ(wheel.function(), WheelFunction::Frequency);
    table.rigOpen = false;
    wheel.ChooseWheelFunction(WheelFunction::Frequency); // not while the rig's port is closed
    EXPECT_EQ(wheel.function(), WheelFunction::Speed);

    wheel.InitWheelFunctions(false);
    EXPECT_FALSE(wheel.display().scrollEnabled);
}

TEST_F(KeysAndWheel, stepperWheel_aNotchAwayStepsUpAndTowardsDownAtTheFastestSpeed) {
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(state.StepCounter, 201);
    wheel.HandleWheel(2, 0);
    EXPECT_EQ(state.StepCounter, 199);
    wheel.HandleWheel(-1, ShiftHeld);
    EXPECT_EQ(state.StepCounter, 209);
    EXPECT_EQ(state.StepDelayMs, 15);
}

TEST_F(KeysAndWheel, withTheOverlayActive_aPositiveNotchFillsTheOverlayThenStepsUp) {
    state.OverlayMenu = state.OverlayOn = true;
    state.OverlayPosition = 8;
    const int yieldsBefore = platform.yields;
    wheel.HandleWheel(1, 0);
    EXPECT_EQ(state.OverlayPosition, 9);
    EXPECT_EQ(state.StepCounter, 200);
    EXPECT_EQ(platform.yields, yieldsBefore); // overlay steps serve no events
    EXPECT_FALSE(state.NoYield);
    wheel.HandleWheel(1, 0);
    ASSERT_EQ(state.OverlayPosition, state.OverlaySteps);
    wheel.HandleWheel(1, 0); // full: the overlay's direction goes on, up
    EXPECT_EQ(state.StepCounter, 201);

    wheel.HandleWheel(-1, ShiftHeld); // 5 overlay steps back at once with Shift
    EXPECT_EQ(state.OverlayPosition, 5);
    EXPECT_EQ(state.StepCounter, 201);
    state.OverlayPosition = 0;
    wheel.HandleWheel(-1, 0); // empty: down
    EXPECT_EQ(state.StepCounter, 200);
}

TEST_F(KeysAndWheel, speedWheel_aNotchAwayLengthensTheDelayWithinTheScrollBar) {
    wheel.ChooseWheelFunction(WheelFunction::Speed);
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(state.CustomDelayMs, 16);
    wheel.HandleWheel(3, ShiftHeld);
    EXPECT_EQ(state.CustomDelayMs, state.FastestDelayMs);
}

TEST_F(KeysAndWheel, tableAndFrequencyWheel_actOnTheTableAndDoNothingPastTheLastRow) {
    openTable();
    table.rigOpen = true;
    wheel.ChooseWheelFunction(WheelFunction::Table);
    state.RigFollowHalted = true;
    wheel.HandleWheel(-1, 0);
    EXPECT_FALSE(state.RigFollowHalted);
    table.selected = 2; // the last row
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(table.calls, (Captions{"turn 1", "white", "white"}));

    wheel.ChooseWheelFunction(WheelFunction::Frequency);
    table.calls.clear();
    wheel.HandleWheel(-1, 0);
    wheel.HandleWheel(-2, ShiftHeld);
    EXPECT_EQ(table.calls, (Captions{"jump up", "white", "jump size -2"}));
}

TEST_F(KeysAndWheel, whileTurningIsRefused_turningKeysAndNotchesOnlyBeep_stopAndSpeedStillWork) {
    bool& refuse = transmit.on;
    refuse = true;
    openTable();
    table.rigOpen = true;
    for (const int key : {int{PageUp}, Numpad0 + 9, int{'L'}, int{End}, int{'U'}, int{Subtract}})
        press(key);
    wheel.HandleWheel(-1, 0);
    wheel.ChooseWheelFunction(WheelFunction::Table);
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(state.StepCounter, 200);
    EXPECT_EQ(table.selected, 0);
    EXPECT_EQ(platform.beeps.size(), 8u); // one per key press and notch
    EXPECT_TRUE(positions.empty());

    // The speed and frequency steps turn nothing here: they work without a beep.
    press('N');
    EXPECT_EQ(state.CustomDelayMs, 16);
    wheel.ChooseWheelFunction(WheelFunction::Frequency);
    table.calls.clear();
    wheel.HandleWheel(-1, 0);
    EXPECT_EQ(table.calls, (Captions{"jump up", "white"}));
    EXPECT_EQ(platform.beeps.size(), 8u);

    // A turn the user allowed stops at Esc while turning is refused.
    refuse = false;
    platform.scheduleAfter(50, [&] {
        refuse = true;
        press(Escape);
    });
    turnTo(400);
    EXPECT_LT(state.StepCounter, 210);
    refuse = false;
    const core::Long stopped = state.StepCounter;
    press('U');
    EXPECT_EQ(state.StepCounter, stopped + 1);
}

TEST(WheelNotches, aNotchAwayIsMinusOne_partsAddUpAndADirectionChangeDropsThem) {
    engine::WheelNotches wheel;
    EXPECT_EQ(wheel.add({0, 120}), -1);
    EXPECT_EQ(wheel.add({0, -240}), 2);
    EXPECT_EQ(wheel.add({0, 80}), 0);
    EXPECT_EQ(wheel.add({0, 50}), -1);  // 130: one notch, 10 kept
    EXPECT_EQ(wheel.add({0, -100}), 0); // the 10 away are dropped, not set against it
    EXPECT_EQ(wheel.add({0, -20}), 1);
    EXPECT_EQ(wheel.add({120, 0}), -1); // Shift+wheel arriving sideways
}
