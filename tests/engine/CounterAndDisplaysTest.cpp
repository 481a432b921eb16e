#include "EngineFixture.h"

using namespace engine_test;
using Bytes = std::vector<std::uint8_t>;

using CounterByHand = EngineFixture;
using Displays = EngineFixture;

TEST_F(CounterByHand, aValueOutsideTheLimitsIsRefusedAndNothingChanges) {
    state.StepCounter = 42;
    lpt.Out32(888, 3 + 4);
    clearTrace();
    platform.answerNextInput("600");
    engine.SetCounterByHand();

    ASSERT_EQ(platform.inputs.size(), 1u);
    EXPECT_EQ(platform.inputs[0].prompt,
              "Set by hand Stepper 1 to the desired position.\r\nOverlay is always reset to 0\r\n"
              "Range  0 > 500\r\nOld counter value:42\r\nGive the new counter value");
    EXPECT_EQ(platform.inputs[0].title, "Ventrolo.Version 1.24");
    EXPECT_EQ(platform.inputs[0].defaultText, "42");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Out off range value");
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Exclamation);
    EXPECT_EQ(state.StepCounter, 42);
    // Outputs off while asking, then the coil code alone back on the register.
    EXPECT_EQ(written(), (Bytes{0, 3}));
}

TEST_F(CounterByHand, anAnswerIsRoundedHalfToEvenAndNeverMovesTheMotor) {
    platform.answerNextInput("12.5");
    engine.SetCounterByHand();
    EXPECT_EQ(state.StepCounter, 12);
    platform.answerNextInput("13,5");
    engine.SetCounterByHand();
    EXPECT_EQ(state.StepCounter, 14);
    EXPECT_EQ(view.counters.back(), "14");
    EXPECT_EQ(view.degrees.back(), " 25.2°");
    for (auto value : written())
        EXPECT_EQ(value & ~3, 0); // never an enable bit: the motor stays free
}

TEST_F(CounterByHand, cancelOrAnAnswerWithoutDigits_changesNothing) {
    state.StepCounter = 42;
    platform.answerNextInput("");
    engine.SetCounterByHand();
    platform.answerNextInput("abc");
    engine.SetCounterByHand();
    EXPECT_EQ(state.StepCounter, 42);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(CounterByHand, aHigherValueWithTheOverlayOn_marksTheOverlayFull) {
    state.OverlayOn = true;
    state.OverlayPosition = 3;
    state.StepCounter = 100;
    platform.answerNextInput("150");
    engine.SetCounterByHand();
    EXPECT_EQ(state.OverlayPosition, state.OverlaySteps);
    platform.answerNextInput("150");
    engine.SetCounterByHand();
    EXPECT_EQ(state.OverlayPosition, 0);
}

TEST_F(Displays, degreesHaveOneDecimalAndAZeroBeforeThePoint) {
    for (auto [counter, text] : std::vector<std::pair<core::Long, QString>>{
             {7, " 12.6°"}, {0, " 0.0°"}, {-1, " -1.8°"}, {200, " 360.0°"}}) {
        state.StepCounter = counter;
        engine.ShowDegrees();
        EXPECT_EQ(view.degrees.back(), text) << counter;
    }
    state.StepsPer360 = 500;
    engine.UpdateDegreesPerStep();
    state.StepCounter = 1;
    engine.ShowDegrees();
    EXPECT_EQ(view.degrees.back(), " 0.7°");
    EXPECT_FLOAT_EQ(state.CurrentDegrees, 0.7f);
}

TEST_F(Displays, noStepsPerTurnHidesTheDegreesAndCountsAWholeTurnPerStep) {
    state.StepsPer360 = 0;
    engine.UpdateDegreesPerStep();
    EXPECT_EQ(state.DegreesPerStep, 360);
    EXPECT_FALSE(view.degreesVisible);
    view.degrees.clear();
    turnTo(3);
    EXPECT_TRUE(view.degrees.empty());
}

TEST_F(Displays, theSliderFollowsOnlyInsideTheLimitsAndThePelorusRedrawsWhenShown) {
    std::vector<std::pair<bool, bool>> redraws;
    engine.hooks().redrawPelorus = [&](bool big, bool small) { redraws.emplace_back(big, small); };
    std::vector<QString> tableCounters;
    engine.hooks().showTableCounter = [&](const QString& t) { tableCounters.push_back(t); };
    state.StepCounter = 502;
    turnTo(498);
    EXPECT_EQ(view.sliderValues.front(), 500);
    EXPECT_TRUE(redraws.empty());
    EXPECT_TRUE(tableCounters.empty());

    state.SmallPelorusShown = true;
    state.TableWindowShown = true;
    turnTo(499);
    EXPECT_FALSE(redraws.empty());
    EXPECT_EQ(redraws.back(), std::make_pair(false, true));
    EXPECT_EQ(tableCounters, std::vector<QString>{"499"});
    EXPECT_TRUE(state.PelorusRedraw);
}
