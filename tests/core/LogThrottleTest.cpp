#include "core/LogThrottle.h"

#include <gtest/gtest.h>

// A flood is told by its first event at once, then by one count per interval.
TEST(LogThrottleTest, theFirstIsToldAtOnce_thenOneCountPerInterval) {
    core::LogThrottle throttle(10'000);
    EXPECT_EQ(throttle.count(0), 1);
    for (const double atMs : {1.0, 500.0, 9'999.0})
        EXPECT_EQ(throttle.count(atMs), 0);
    EXPECT_EQ(throttle.count(10'000), 4); // the three held back and this one
    EXPECT_EQ(throttle.count(10'001), 0);
    EXPECT_EQ(throttle.count(60'000), 2);
}
