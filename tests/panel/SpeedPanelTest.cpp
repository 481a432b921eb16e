#include "PanelFixture.h"

#include <QSignalSpy>

using namespace panel_test;

using SpeedPanelTest = EngineFixture;

TEST_F(SpeedPanelTest, calibratingCountsTheLoopPassesOfOneSecond) {
    platform.clockStepPerRead = 0.5;
    speedPanel.CalibratePcSpeed();
    EXPECT_EQ(state.PcSpeed, 2000);
}

TEST_F(SpeedPanelTest, theSpeedFieldsAreWrittenOnlyWhenTheirDelaysChange) {
    QSignalSpy fields(&speedPanel, &panel::SpeedPanel::speedFieldsChanged);
    speedPanel.SpeedModulateClicked(true);
    turnTo(10); // the ramp shows every delay it takes
    speedPanel.SpeedScrolled(40);
    engine.StopTurningAndFollowing(); // sets the speed again
    EXPECT_EQ(fields.count(), 0) << "what the user types there stays";
    state.SlowestDelayMs = 2000;
    speedPanel.SetSpeed();
    ASSERT_EQ(fields.count(), 1);
    EXPECT_EQ(fields.last().at(0).toString(), "2");
    EXPECT_EQ(fields.last().at(1).toString(), ".002");
}
