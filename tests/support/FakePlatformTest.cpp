#include "support/FakePlatform.h"

#include <gtest/gtest.h>
#include <vector>

using testing_support::FakePlatform;

TEST(FakePlatform, callbacksRunAtTheirTimeOnlyWhenTheWaitYields) {
    FakePlatform platform;
    std::vector<double> ran;
    platform.scheduleAt(30, [&] { ran.push_back(platform.steadyMs()); });
    platform.waitUntil(50, false);
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(platform.steadyMs(), 50);
    platform.waitMs(10);
    EXPECT_EQ(ran, std::vector<double>{50});
    platform.scheduleAfter(5, [&] { ran.push_back(platform.steadyMs()); });
    platform.waitMs(20);
    EXPECT_EQ(ran, (std::vector<double>{50, 65}));
    EXPECT_EQ(platform.steadyMs(), 80);
}

TEST(FakePlatform, timersTickOnTheVirtualClockAndStopCleanly) {
    FakePlatform platform;
    std::vector<double> ticks;
    auto timer = platform.createTimer([&] { ticks.push_back(platform.steadyMs()); });
    timer->start(250);
    platform.advance(1000);
    EXPECT_EQ(ticks, (std::vector<double>{250, 500, 750, 1000}));
    timer->start(100); // a restart drops the old schedule
    platform.advance(150);
    EXPECT_EQ(ticks.back(), 1100);
    EXPECT_EQ(ticks.size(), 5u);
    timer->stop();
    platform.advance(1000);
    EXPECT_EQ(ticks.size(), 5u);
    timer->start(10);
    timer.reset(); // destroyed while ticks are scheduled
    platform.advance(100);
    EXPECT_EQ(ticks.size(), 5u);
}
