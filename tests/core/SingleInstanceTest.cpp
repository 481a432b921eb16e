#include "core/SingleInstance.h"

#include "support/FakePlatform.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::FakePlatform;

TEST(SingleInstanceTest, aSecondInstance_isRefusedWithTheCriticalMessageAndTheFirstKeepsRunning) {
    QTemporaryDir dir;
    FakePlatform platform;
    core::SingleInstance first(dir.path());
    ASSERT_TRUE(first.acquire(platform));
    EXPECT_TRUE(platform.messages.empty());

    core::SingleInstance second(dir.path());
    EXPECT_FALSE(second.acquire(platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Ventrolo. I am already Running");
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.");
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Critical);
    EXPECT_TRUE(first.acquire(platform)) << "the first instance still holds its lock";
}

TEST(SingleInstanceTest, theLockOfACrashedInstance_isTakenOverAndAnotherDirectoryIsFree) {
    QTemporaryDir dir;
    FakePlatform platform;
    {
        // A lock left by a process that no longer runs (pid far above any pid in use).
        QFile stale(dir.path() + "/Ventrolo.lock");
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("2147480000\nventrolo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    core::SingleInstance instance(dir.path());
    EXPECT_TRUE(instance.acquire(platform));

    QTemporaryDir otherDir;
    core::SingleInstance other(otherDir.path());
    EXPECT_TRUE(other.acquire(platform));
    EXPECT_TRUE(platform.messages.empty());
}
