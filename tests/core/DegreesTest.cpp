#include "core/Degrees.h"

#include <gtest/gtest.h>
#include <limits>

using namespace core;

TEST(Degrees, stepsAndDegreesRoundHalfToEvenBothWays) {
    EXPECT_EQ(DegreesPerStepOf(200), 1.8f);
    EXPECT_EQ(DegreesPerStepOf(0), 360.0f); // no degree display: a whole turn per step
    EXPECT_DOUBLE_EQ(StepsToDegrees(7, 1.8f), 12.6);
    EXPECT_DOUBLE_EQ(StepsToDegrees(13, 0.72f), 9.4);
    EXPECT_DOUBLE_EQ(StepsToDegrees(13, 0.72f, 2), 9.36);
    EXPECT_EQ(DegreesToSteps(90, 1.8f), 50);
    EXPECT_EQ(DegreesToSteps(90, 0.72f), 125);
    EXPECT_EQ(DegreesToSteps(2.5, 1), 2); // half a step rounds to the even one
    EXPECT_EQ(DegreesToSteps(1e30, 1.8f), std::numeric_limits<Long>::max());
    EXPECT_EQ(DegreesToSteps(90, 0), 0);
}
