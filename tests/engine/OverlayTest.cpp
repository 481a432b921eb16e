#include "EngineFixture.h"

using namespace engine_test;

struct Overlay : EngineFixture {
    Overlay() {
        state.OverlayMenu = true;
        state.OverlayOn = true;
        state.OverlaySteps = 10;
        state.StepCounter = 100;
    }
};

TEST_F(Overlay, stepsUpAndDownCountOnlyTheOverlayAndFollowTheMotorsCycle) {
    engine.ApplyOverlay(3, engine::TurnOrigin::Window);
    EXPECT_EQ(state.OverlayPosition, 3);
    EXPECT_EQ(stepCodes(), (std::vector<int>{1, 3, 2})); // G(101), G(102), G(103)
    EXPECT_EQ(overlays.back().stepsText, "3");
    EXPECT_EQ(overlays.back().degreesText, "5.4°");
    EXPECT_EQ(overlays.back().directionText, ">>");

    engine.ApplyOverlay(-2, engine::TurnOrigin::Window);
    EXPECT_EQ(state.OverlayPosition, 1);
    EXPECT_EQ(stepCodes(), (std::vector<int>{1, 3, 2, 2, 3, 1})); // power on, G(102), G(101)
    EXPECT_EQ(overlays.back().directionText, "<<");
    EXPECT_TRUE(platform.beeps.empty());

    engine.ApplyOverlay(
        0, engine::TurnOrigin::Window); // last direction down: everything back, with a beep at 0
    EXPECT_EQ(state.OverlayPosition, 0);
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(state.StepCounter, 100);

    engine.ApplyOverlay(10,
                        engine::TurnOrigin::Window); // from a full overlay the display counts down
    engine.ApplyOverlay(-3, engine::TurnOrigin::Window);
    EXPECT_TRUE(state.OverlayState);
    EXPECT_EQ(overlays.back().stepsText, "-3");
    EXPECT_EQ(overlays.back().degreesText, "-5.4°");
}

TEST_F(Overlay, aTurnUpTakesTheRestOfTheOverlayFirstThenCountsOnWithoutAJump) {
    turnTo(105);
    EXPECT_EQ(state.OverlayPosition, 10);
    EXPECT_EQ(state.StepCounter, 105);
    std::vector<int> expected;
    for (int p = 101; p <= 115; ++p)
        expected.push_back(static_cast<int>(port::CoilCode(p)));
    auto codes = stepCodes();
    ASSERT_EQ(codes.size(), 16u);
    codes.erase(codes.begin() + 10); // the power-on of the counted turn
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(platform.beeps.size(), 1u); // the overlay is full

    turnTo(103); // down: the whole overlay back first, then two counted steps
    EXPECT_EQ(state.OverlayPosition, 0);
    EXPECT_EQ(state.StepCounter, 103);
    EXPECT_EQ(stepCodes().back(), port::CoilCode(103));
}

TEST_F(Overlay, aTargetEqualToTheCounter_completesAPartlyTakenOverlay) {
    engine.ApplyOverlay(4, engine::TurnOrigin::Window);
    turnTo(100);
    EXPECT_EQ(state.OverlayPosition, 10);
    state.OverlayOn = false; // without the overlay nothing happens
    clearTrace();
    turnTo(100);
    EXPECT_TRUE(lpt.writes().empty());
}

TEST_F(Overlay, aStopDuringTheOverlay_endsTheWholeTurnAndAStoppedWayDownEndsWithoutABeep) {
    speedPanel.SpeedScrolled(10);
    platform.scheduleAfter(25, [this] { engine.StopTurningAndFollowing(); });
    turnTo(120);
    EXPECT_EQ(state.OverlayPosition, 3);
    EXPECT_EQ(state.StepCounter, 100);

    platform.scheduleAfter(15, [this] { engine.StopTurningAndFollowing(); });
    engine.ApplyOverlay(-3, engine::TurnOrigin::Window);
    EXPECT_EQ(state.OverlayPosition, 1);
    EXPECT_TRUE(platform.beeps.empty()); // the beep says "empty", which it is not
}

TEST_F(Overlay, overlayStepsWaitAtMostHalfASecond) {
    speedPanel.SpeedScrolled(900);
    engine.ApplyOverlay(2, engine::TurnOrigin::Window);
    EXPECT_EQ(stepTimes(), (std::vector<double>{0, 500}));
}
