#include "engine/BusyLock.h"

#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using engine::BusyLock;

struct BusyLockTest : ::testing::Test {
    testing_support::FakePlatform platform;
    engine::TurningModes modes;
    std::vector<bool> changes;
    BusyLock lock{platform, modes, [this](bool locked) { changes.push_back(locked); }};
};

TEST_F(BusyLockTest, unlocksTwoAndAHalfSecondsAfterTheRequest) {
    lock.lock();
    lock.requestUnlock();
    EXPECT_TRUE(lock.isLocked());
    EXPECT_TRUE(lock.unlockPending());
    platform.advance(2499);
    EXPECT_TRUE(lock.isLocked());
    platform.advance(1);
    EXPECT_FALSE(lock.isLocked());
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

TEST_F(BusyLockTest, aLockCancelsAPendingUnlock) {
    lock.lock();
    lock.requestUnlock();
    platform.advance(1000);
    lock.lock();
    platform.advance(5000);
    EXPECT_TRUE(lock.isLocked());
}

TEST_F(BusyLockTest, aSecondRequestWhilePendingUnlocksAtOnce) {
    lock.lock();
    lock.requestUnlock();
    lock.requestUnlock();
    EXPECT_FALSE(lock.isLocked());
    EXPECT_FALSE(lock.unlockPending());
}

TEST_F(BusyLockTest, staysLockedWhileShuttleOrPulseRuns) {
    lock.lock();
    modes.shuttleOn = true;
    lock.requestUnlock();
    platform.advance(5000);
    EXPECT_TRUE(lock.isLocked());
    modes.shuttleOn = false;
    lock.requestUnlock();
    platform.advance(2500);
    EXPECT_FALSE(lock.isLocked());
}
