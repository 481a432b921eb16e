#include "port/JoystickStatus.h"

#include "port/SdlJoystick.h"
#include "support/FakePlatform.h"

#include <csignal>
#include <gtest/gtest.h>

using namespace port;
using testing_support::FakePlatform;

namespace {

struct FakeJoystick : Joystick {
    bool present = true;
    std::optional<JoystickReading> reading = JoystickReading{32767, 32767, 0};
    bool open(int) override { return present; }
    std::optional<JoystickReading> poll() override { return reading; }
};

struct JoystickStatusTest : ::testing::Test {
    core::ProgramState state;
    FakeJoystick stick;
    FakePlatform platform;
    JoystickStatus status{state, stick, platform};
};

} // namespace

TEST_F(JoystickStatusTest, pollShowsPositionAndButtons_andAFailedPollKeepsTheLastValues) {
    ASSERT_TRUE(status.MenuToggled(true));
    EXPECT_EQ(status.frameText(), "Status Joystick on");
    EXPECT_EQ(status.JoyCenterX, 32767);
    stick.reading = JoystickReading{100, 65535, 5};
    status.JoystickPoll();
    EXPECT_EQ(status.frameText(), "Status Joystick on X=100 Y=65535  0000000000000101");
    EXPECT_TRUE(status.JoyButtons[0]);
    EXPECT_FALSE(status.JoyButtons[1]);
    EXPECT_TRUE(status.JoyButtons[2]);
    stick.reading.reset(); // unplugged
    status.JoystickPoll();
    EXPECT_EQ(status.frameText(), "Status Joystick on X=100 Y=65535  0000000000000101");
}

TEST_F(JoystickStatusTest, withoutAJoystickTheMenuSaysSoAndStaysOff) {
    stick.present = false;
    state.JoystickOn = true;
    EXPECT_FALSE(status.MenuToggled(true));
    EXPECT_FALSE(state.JoystickOn);
    EXPECT_EQ(status.frameText(), "Status");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "This PC has no JoyStick ");
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.Version 1.24");
}

TEST_F(JoystickStatusTest, startUpReopensQuietlyOrSwitchesOffSilently) {
    state.JoystickOn = true;
    status.StartUp();
    EXPECT_EQ(status.frameText(), "Status Yoystick on");
    stick.present = false;
    status.StartUp();
    EXPECT_FALSE(state.JoystickOn);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(status.MenuToggled(false) == false && status.frameText() == "Status");
}

TEST(SdlJoystick, aMachineWithoutAJoystickReportsNoneAndKeepsItsSignalHandlers) {
    struct sigaction before {};
    sigaction(SIGTERM, nullptr, &before);
    SdlJoystick joystick;
    if (!joystick.open(0)) {
        EXPECT_FALSE(joystick.poll().has_value());
    }
    EXPECT_FALSE(joystick.open(99));
    struct sigaction after {};
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(before.sa_handler, after.sa_handler);
}
