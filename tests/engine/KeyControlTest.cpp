#include "engine/KeyControl.h"

#include "EngineFixture.h"
#include "engine/KeyCodes.h"

using namespace engine_test;
using namespace engine::VirtualKey;
using engine::AltMask;
using engine::KeyControl;

namespace {

struct Keys : EngineFixture {
    KeyControl keys{state, platform, engine};
    int exits = 0;

    Keys() {
        keys.exitProgram = [this] { ++exits; };
        state.StepCounter = 200;
        state.TargetPosition = 200;
    }
    void press(int keyCode, int shift = 0) { keys.HandleKey(keyCode, shift); }
};

} // namespace

TEST_F(Keys, pageUpTurnsNinetyDegrees_fiftyStepsAtOnePointEightAndOneTwentyFiveAtPointSevenTwo) {
    press(PageUp);
    EXPECT_EQ(state.StepCounter, 250);
    press(Numpad0 + 9); // keypad 9 is the other way
    EXPECT_EQ(state.StepCounter, 200);

    state.StepsPer360 = 500;
    engine.UpdateDegreesPerStep();
    press(Numpad0 + 3);
    EXPECT_EQ(state.StepCounter, 325);
    press(PageDown);
    EXPECT_EQ(state.StepCounter, 200);

    state.StepCounter = 450;
    press(PageUp); // held at the upper limit
    EXPECT_EQ(state.StepCounter, 500);
}

TEST_F(Keys, limitsAndSingleSteps) {
    press('U');
    EXPECT_EQ(state.StepCounter, 201);
    press(Add);
    press(Numpad0 + 8, 1); // Shift makes no difference to a single step
    EXPECT_EQ(state.StepCounter, 203);
    press('D');
    press(Subtract);
    press(Numpad0 + 2);
    EXPECT_EQ(state.StepCounter, 200);
    press(Home);
    EXPECT_EQ(state.StepCounter, 0);
    press('R');
    EXPECT_EQ(state.StepCounter, 500);
    press(Numpad0 + 4);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(Keys, slowerAndFasterStopAtTheEndsOfTheSpeedRange) {
    press('N');
    EXPECT_EQ(state.CustomDelayMs, 16);
    EXPECT_EQ(state.StepDelayMs, 16);

    engine.SpeedScrolled(state.SlowestDelayMs);
    state.StepDelayMs = 7; // as in the middle of a speed ramp
    press('N');
    EXPECT_EQ(state.CustomDelayMs, state.SlowestDelayMs);
    EXPECT_EQ(state.StepDelayMs, 7); // the speed was not set again

    engine.SpeedScrolled(3);
    press('M');
    EXPECT_EQ(state.CustomDelayMs, 2);
    EXPECT_EQ(engine.speed().speedButtonCaption(), "Fa&st");
    press('M');
    EXPECT_EQ(state.CustomDelayMs, 2);
}

TEST_F(Keys, escSpaceAndAltCombinationsStopATurn_altF4Exits) {
    for (const auto& [key, shift] : {std::pair{Escape, 0}, {Space, 0}, {'X', AltMask}}) {
        state.StepCounter = 0;
        platform.scheduleAfter(50, [this, key, shift] { press(key, shift); });
        turnTo(100);
        EXPECT_LT(state.StepCounter, 10) << key;
        EXPECT_EQ(state.TargetPosition, state.StepCounter);
    }
    engine.modes().shuttleOn = true;
    press(F4, AltMask);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(engine.modes().shuttleOn); // the exit path does its own stopping
    press(F4);
    press('Q');
    EXPECT_EQ(exits, 1);
}

TEST_F(Keys, keyInfoListsTheKeys) {
    keys.ShowKeyInfo();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.Version 1.24");
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Information);
    const QStringList lines = platform.messages[0].text.split("\r\n");
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], "Works only under Main and Pelorus screen.");
    EXPECT_EQ(lines[4], "L, R, U en D ");
    EXPECT_EQ(lines[9], "Alt + F4 = Exit");
}
