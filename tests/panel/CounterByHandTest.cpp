#include "PanelFixture.h"

using namespace panel_test;
using Bytes = std::vector<std::uint8_t>;

using CounterByHandTest = EngineFixture;

TEST_F(CounterByHandTest, theCounterSetByHand_isCheckedRoundedAndNeverMovesTheMotor) {
    state.StepCounter = 42;
    lpt.Out32(888, 3 + 4);
    clearTrace();
    platform.answerNextInput("600");
    counterByHand.Ask();
    EXPECT_EQ(platform.messages.size(), 1u); // out of range
    EXPECT_EQ(state.StepCounter, 42);
    EXPECT_EQ(written(), (Bytes{0, 3})); // outputs off while asking, then the coil code alone

    platform.answerNextInput("");
    counterByHand.Ask();
    EXPECT_EQ(state.StepCounter, 42);
    state.OverlayOn = true;
    platform.answerNextInput("12,5");
    counterByHand.Ask();
    EXPECT_EQ(state.StepCounter, 12);
    EXPECT_EQ(state.OverlayPosition, 0); // lower: no overlay
    platform.answerNextInput("13.5");
    counterByHand.Ask();
    EXPECT_EQ(state.StepCounter, 14);
    EXPECT_EQ(state.OverlayPosition, state.OverlaySteps); // higher with the overlay on
    EXPECT_EQ(degrees.back(), " 25.2°");
    for (auto value : written())
        EXPECT_EQ(value & ~3, 0); // never an enable bit: the motor stays free
}

TEST_F(CounterByHandTest,
       theCounterSetByHandOnAStepDirDriver_holdsItsActiveLowEnableHighThroughout) {
    port::StepperOutputs outputs = port::DefaultStepperOutputs();
    outputs[0].output = port::OutputKind::StepDir;
    drive.coil().setOutputs(outputs);
    state.StepCounter = 42;
    drive.coil().PowerOn();
    ASSERT_EQ(lpt.data(888) & 4, 0) << "the driver on";
    clearTrace();
    platform.answerNextInput("12");
    counterByHand.Ask();
    EXPECT_EQ(state.StepCounter, 12);
    EXPECT_FALSE(written().empty());
    for (auto value : written())
        EXPECT_EQ(value, drive.coil().IdleValue()) << "ENABLE high, STEP low: the shaft is free";
}

TEST_F(CounterByHandTest, itIsAskingOnlyWhileTheQuestionIsOpen) {
    turnTo(20);
    bool askingMeanwhile = false;
    platform.whileNextDialogOpen([&] { askingMeanwhile = counterByHand.asking(); });
    platform.answerNextInput("30");
    EXPECT_FALSE(counterByHand.asking());
    counterByHand.Ask();
    EXPECT_TRUE(askingMeanwhile) << "the timer table must not turn the shaft in the user's hand";
    EXPECT_FALSE(counterByHand.asking());
    EXPECT_EQ(state.StepCounter, 30);
}

TEST_F(CounterByHandTest, afterTheCounterIsSet_theDialsShowNoTargetLeftOfTheTurnBefore) {
    turnTo(272);
    platform.answerNextInput("50");
    counterByHand.Ask();
    EXPECT_EQ(state.StepCounter, 50);
    EXPECT_EQ(state.TargetPosition, 50);
    EXPECT_EQ(degrees.back(), " 90.0°");
}

TEST_F(CounterByHandTest, whileTheQuestionIsOpen_noTurnOfAnyOriginMovesTheShaftInTheUsersHand) {
    using engine::TurnOrigin;
    turnTo(20);
    std::vector<engine::TurnOutcome> outcomes;
    std::optional<engine::TurnRefusal> refusal;
    // A rotator client, a UDP rotator or the web, the rig's following, a program, and a window
    // of the program's own, while the user turns the shaft and reads its position.
    platform.whileNextDialogOpen([&] {
        refusal = engine.Refuses({200, TurnOrigin::Network});
        for (const TurnOrigin origin :
             {TurnOrigin::Network, TurnOrigin::Following, TurnOrigin::Program, TurnOrigin::Window})
            outcomes.push_back(engine.TurnTo({200, origin}));
    });
    clearTrace();
    platform.answerNextInput("25");
    counterByHand.Ask();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->why, engine::TurnRefusal::Why::CounterByHand);
    EXPECT_EQ(outcomes, std::vector<engine::TurnOutcome>(4, engine::TurnOutcome::Refused));
    for (auto value : written())
        EXPECT_EQ(value & ~3, 0) << "no driver enabled while the question was open";
    EXPECT_EQ(state.StepCounter, 25); // where the user says the shaft stands

    // Answered, the turns go on.
    EXPECT_EQ(engine.TurnTo({30, TurnOrigin::Network}), engine::TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 30);
}
