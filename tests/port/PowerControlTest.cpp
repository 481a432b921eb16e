#include "port/PowerControl.h"

#include "port/SimulatedLpt.h"
#include "support/QtPrinters.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace port;

struct PowerControlTest : ::testing::Test {
    core::ProgramState state;
    SimulatedLpt lpt;
    CoilOutput coil{state, lpt};
    PowerControl power{state, coil};

    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            power.HousekeepingTick(false);
    }
};

TEST_F(PowerControlTest, autopowerCountsDownAndSwitchesTheDriverOffOnceAfterTwentySeconds) {
    state.AutoPower = 1;
    state.StepCounter = 2; // code 3
    lpt.Out32(888, 3 + 4 + 192);
    state.LptExtraBits = 192;
    ticks(1);
    EXPECT_EQ(power.autoPowerCaption(), "Autopower (20 Sec.)");
    ticks(19);
    EXPECT_EQ(power.autoPowerCaption(), "Autopower (1 Sec.)");
    EXPECT_EQ(lpt.data(888), 3 + 4 + 192);

    lpt.traceWrites();
    ticks(1);
    EXPECT_EQ(power.autoPowerCaption(), "Autopower (off.)");
    EXPECT_EQ(lpt.data(888), 3 + 192); // coil code and offset stay
    ticks(30);
    EXPECT_EQ(lpt.writes().size(), 1u); // once
    EXPECT_EQ(power.autoPowerCaption(), "Autopower (off.)");

    state.StepActivity = true; // a turn
    ticks(1);
    EXPECT_EQ(power.autoPowerCaption(), "Autopower (20 Sec.)");
    EXPECT_FALSE(state.StepActivity);
}

TEST_F(PowerControlTest, nothingCountsWhileASlowTurnRunsOrWithManualPower) {
    state.AutoPower = 1;
    for (int i = 0; i < 40; ++i)
        power.HousekeepingTick(true);
    EXPECT_EQ(power.idleSeconds(), 0);
    state.AutoPower = 0;
    ticks(40);
    EXPECT_EQ(power.idleSeconds(), 0);
}

TEST_F(PowerControlTest, startUpWithManualPower_leavesTheDriverOff) {
    state.LptExtraBits = 192;
    lpt.Out32(888, 2); // left by someone else: the counter's code 0 goes on instead
    state.AutoPower = 0;
    power.ApplyStartUpPower();
    EXPECT_EQ(lpt.data(888), 192);
    EXPECT_EQ(power.autoPowerCaption(), "Autopower (off.)");
    EXPECT_TRUE(power.fieldPowerVisible());
    EXPECT_FALSE(power.fieldPowerTicked());
}

TEST_F(PowerControlTest, fieldPowerAndTheTurnRuleSwitchOnlyTheEnableBits) {
    state.LptExtraBits = 64;
    state.StepCounter = 1; // code 1
    lpt.Out32(888, 1 + 4 + 64);
    power.SetAutoPower(false); // the driver off, "Fieldpower" to switch it
    EXPECT_EQ(power.autoPowerCaption(), "Autopower(off)");
    EXPECT_TRUE(power.fieldPowerVisible());
    EXPECT_TRUE(power.EnsureTurnPower());
    EXPECT_TRUE(power.fieldPowerTicked());
    EXPECT_EQ(lpt.data(888), 1 + 4 + 64);
    EXPECT_FALSE(power.EnsureTurnPower()); // already powered

    power.SetFieldPower(false);
    EXPECT_EQ(lpt.data(888), 1 + 64);
    power.SetFieldPower(false); // unticking twice never takes away bits that are not there
    EXPECT_EQ(lpt.data(888), 1 + 64);
}

TEST_F(PowerControlTest, theWindowIsToldEachChangeOfTheBoxesButNotTheSecondsThatChangeNothing) {
    state.AutoPower = 1;
    QSignalSpy told(&power, &PowerControl::changed);
    ticks(21); // 20 seconds counted down, then off
    EXPECT_EQ(told.size(), 21);
    ticks(30); // resting at off
    EXPECT_EQ(told.size(), 21);

    state.AutoPower = 0;
    power.ApplyStartUpPower(); // a new main window shows it afresh
    EXPECT_EQ(told.size(), 22);
    ticks(5); // manual power counts nothing
    EXPECT_EQ(told.size(), 22);
    EXPECT_TRUE(power.EnsureTurnPower()); // a turn ticks "Fieldpower"
    EXPECT_EQ(told.size(), 23);
    EXPECT_FALSE(power.EnsureTurnPower());
    EXPECT_EQ(told.size(), 23);
    power.DriversWentOff();
    EXPECT_EQ(told.size(), 24);
    power.DriversWentOff(); // already off
    EXPECT_EQ(told.size(), 24);
}
