#include "engine/Parking.h"

#include "EngineFixture.h"

#include <algorithm>

namespace {

struct ParkingTest : engine_test::EngineFixture {
    // Steps written with the given driver enabled: its writes but the one that powers it on.
    long stepsWith(int driverBit) const {
        const auto values = written();
        const long writes =
            std::count_if(values.begin(), values.end(), [&](int v) { return v & driverBit; });
        return std::max(writes - 1, 0L);
    }
};

} // namespace

TEST_F(ParkingTest, bothSteppersTurnDownToTheirOwnLimitsWithTheirOwnDriversWithoutYielding) {
    state.StoredProfiles[0].StepCounter = 30;
    state.StoredProfiles[1].StepCounter = 40;
    state.StoredProfiles[1].MinPosition = -50; // below stepper 1's limit
    state.StoredProfiles[1].OverlayPosition = 3;
    clearTrace();

    EXPECT_FALSE(engine::BothSteppersParked(state));
    engine::ParkBothSteppers(state, engine);

    EXPECT_EQ(stepsWith(4), 30);
    EXPECT_EQ(stepsWith(8), 90) << "stepper 2 goes all the way to its own lower limit";
    EXPECT_EQ(state.StepCounter, -50);
    EXPECT_EQ(state.StoredProfiles[0].StepCounter, 0);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, -50);
    EXPECT_EQ(state.StoredProfiles[1].OverlayPosition, 0);
    EXPECT_TRUE(engine::BothSteppersParked(state));
    EXPECT_TRUE(state.NoYield);
    EXPECT_EQ(platform.yields, 0) << "no event is served while parking";
}

TEST_F(ParkingTest, aStepperAtItsLimitStaysAndASlowStepperStillArrives) {
    state.StoredProfiles[0].StepCounter = 0;
    state.StoredProfiles[1].StepCounter = 5;
    state.StoredProfiles[1].FastestDelayMs = 3000; // slow-turn timers would never fire
    clearTrace();

    engine::ParkBothSteppers(state, engine);

    EXPECT_EQ(stepsWith(4), 0);
    EXPECT_EQ(stepsWith(8), 5);
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_FALSE(engine.slowTurnRunning());
    const auto times = stepTimes();
    ASSERT_GE(times.size(), 2u);
    EXPECT_LE(times.back() - times[times.size() - 2], 1000.0);
}
