// A rig that falls silent while the station follows it raises the alarm; a reading clears it.
#include "tuning/SilentRigAlarm.h"

#include "support/FakePlatform.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using tuning::SilentRigAlarm;

TEST(SilentRigAlarm, raisedAfterTheLimitWithoutAReading_clearedByOneOrByFollowingOff) {
    testing_support::FakePlatform platform;
    SilentRigAlarm alarm(platform);
    alarm.setLimitS(60);
    QSignalSpy changed(&alarm, &SilentRigAlarm::changed);
    platform.advance(120'000);
    EXPECT_FALSE(alarm.raised()); // not following: nothing is expected

    alarm.Watch(true);
    platform.advance(59'000);
    alarm.ReadingCame(); // the limit counts from the last reading
    platform.advance(59'000);
    EXPECT_FALSE(alarm.raised());
    platform.advance(1'000);
    EXPECT_TRUE(alarm.raised());
    EXPECT_EQ(alarm.text(), "no reading from the rig for 60 s");
    platform.advance(300'000);
    EXPECT_EQ(changed.count(), 1); // raised once, not again and again

    alarm.ReadingCame();
    EXPECT_FALSE(alarm.raised());
    EXPECT_TRUE(alarm.text().isEmpty());
    platform.advance(60'000);
    EXPECT_TRUE(alarm.raised());
    alarm.Watch(false);
    EXPECT_FALSE(alarm.raised());
    platform.advance(120'000);
    EXPECT_FALSE(alarm.raised());
    EXPECT_EQ(changed.count(), 4);

    alarm.setLimitS(0); // off
    alarm.Watch(true);
    platform.advance(3'600'000);
    EXPECT_FALSE(alarm.raised());
}
