#include "PanelFixture.h"
#include "port/InputPinTable.h"

using namespace panel_test;

namespace {

struct HousekeepingTest : HousekeepingFixture {
    HousekeepingTest() { housekeeping.Start(); }
};

} // namespace

TEST_F(HousekeepingTest, autopowerCountsDownWhileIdleAndTheCountPausesDuringATurn) {
    platform.advance(1000);
    EXPECT_EQ(drive.power().autoPowerCaption(), "Autopower (20 Sec.)");
    speedPanel.SpeedScrolled(500);
    turnTo(10); // five seconds of turning
    EXPECT_TRUE(housekeeping.running());
    platform.advance(1000);
    EXPECT_EQ(drive.power().autoPowerCaption(), "Autopower (20 Sec.)"); // the turn restarted it
    platform.advance(20000);
    EXPECT_EQ(drive.power().autoPowerCaption(), "Autopower (off.)");
    EXPECT_EQ(lpt.data(888) & 4, 0);
}

TEST_F(HousekeepingTest, aWindowShowingTheTimeIsToldItEverySecond) {
    QStringList times;
    QObject::connect(&housekeeping, &panel::Housekeeping::timeChanged,
                     [&](const QString& text) { times << text; });
    platform.advance(2000);
    EXPECT_EQ(times, QStringList({"Time 12:00:01", "Time 12:00:02"}));
}

TEST_F(HousekeepingTest, autopowerWithOnlyPartOfTheEnableBitsSet_clearsJustThoseBits) {
    state.BothSteppersPin6 = true;
    drive.coil().UpdateStepperBits(); // 12: both drivers
    state.StepCounter = 1;
    lpt.Out32(888, 1 + 4); // only stepper 1's driver on
    platform.advance(21000);
    EXPECT_EQ(lpt.data(888), 1); // never a borrow into the coil code or other pins
}

TEST_F(HousekeepingTest, aHeldRemoteButtonMakesOneStepASecondAtTheFastestDelay) {
    state.RemoteTurning = true;
    setInputs(port::RemoteCwInput);
    platform.advance(3100);
    EXPECT_EQ(state.StepCounter, 3);
    EXPECT_EQ(state.StepDelayMs, 15);
    EXPECT_EQ(switches.label().text, "Remote CW.");
    EXPECT_NEAR(stepTimes()[2] - stepTimes()[0], 1000, 5);
    setInputs(0);
    platform.advance(1000);
    EXPECT_EQ(switches.label().text, "Inp(889)=0");

    housekeeping.Stop(); // the program is ending: a held button turns nothing any more
    setInputs(port::RemoteCwInput);
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, 3);
}

TEST_F(HousekeepingTest, aSwitchSeenWhileIdleEndsASlowTurn_andAStrayBusyLockIsReleased) {
    state.EndSwitches = true;
    state.StepCounter = 50;
    setSlowSpeed(1500);
    turnTo(0);
    platform.advance(3000);
    EXPECT_EQ(state.StepCounter, 48);
    setInputs(port::BeginInput);
    housekeeping.Tick();
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_FALSE(engine.slowTurnRunning());
    platform.advance(3000);
    EXPECT_FALSE(windowModes.busyLock().isLocked());
}
