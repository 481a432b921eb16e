#include "core/SingleInstance.h"

#include "support/FakePlatform.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::FakePlatform;

namespace {

QString LockIn(const QTemporaryDir& dir) {
    return dir.path() + "/Ventrolo.lock";
}

// A lock as Qt writes it: pid, program, host name, machine id, boot id.
QByteArray LockOf(qint64 pid, const QString& host,
                  const QByteArray& machine = QSysInfo::machineUniqueId()) {
    return QByteArray::number(pid) + "\n" +
           QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + "\n" +
           host.toUtf8() + "\n" + machine + "\n" + QSysInfo::bootUniqueId() + "\n";
}

} // namespace

TEST(SingleInstanceTest, aSecondInstance_isRefusedWithTheCriticalMessageAndTheFirstKeepsRunning) {
    QTemporaryDir dir;
    FakePlatform platform;
    core::SingleInstance first(dir.path());
    ASSERT_TRUE(first.acquire(platform));
    EXPECT_TRUE(platform.messages.empty());

    core::SingleInstance second(dir.path());
    EXPECT_FALSE(second.acquire(platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith("Ventrolo. I am already Running\r\n("));
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.");
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Critical);
    EXPECT_TRUE(first.acquire(platform)) << "the first instance still holds its lock";

    QTemporaryDir otherDir;
    core::SingleInstance other(otherDir.path());
    EXPECT_TRUE(other.acquire(platform));
}

TEST(SingleInstanceTest, aLockWhoseHolderIsGone_isTakenOverAndTheLogNamesTheFile) {
    // A power cut leaves an empty or zeroed lock; a crash one of a process gone; a power cut
    // one that names the pid this very start got; a directory copied from the shack one of
    // another computer, perhaps of the same name.
    const QString thisHost = QSysInfo::machineHostName();
    for (const QByteArray& left :
         {QByteArray(), QByteArray(64, '\0'), QByteArray("\xff\xfe garbage\n"),
          LockOf(2147480000, thisHost), LockOf(QCoreApplication::applicationPid(), thisHost),
          LockOf(1, "shack-pc", "0123456789abcdef"), LockOf(1, thisHost, "0123456789abcdef")}) {
        QTemporaryDir dir;
        test_support::WriteFile(LockIn(dir), left);
        FakePlatform platform;
        test_support::LogCapture log;
        core::SingleInstance instance(dir.path(), [] { return QString(); });
        EXPECT_TRUE(instance.acquire(platform)) << left.toStdString();
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(test_support::ReadFile(LockIn(dir)).split('\n').value(0),
                  QByteArray::number(QCoreApplication::applicationPid()));
        // A process gone Qt takes over by itself.
        const int said = left == LockOf(2147480000, thisHost) ? 0 : 1;
        EXPECT_EQ(log.with("taking over the stale lock " + LockIn(dir)).size(), said)
            << log.text().toStdString();
    }
}

TEST(SingleInstanceTest, aForeignLockWithAStationAnswering_isLeftAndTheMessageSaysWhoAnswers) {
    QTemporaryDir dir;
    test_support::WriteFile(LockIn(dir), LockOf(1, "shack-pc", "0123456789abcdef"));
    FakePlatform platform;
    core::SingleInstance instance(dir.path(), [] { return QString("a station answers on /x"); });
    EXPECT_FALSE(instance.acquire(platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("held by process 1 on shack-pc, and a station "
                                                   "answers on /x"))
        << platform.messages[0].text.toStdString();
    EXPECT_EQ(test_support::ReadFile(LockIn(dir)), LockOf(1, "shack-pc", "0123456789abcdef"));
}

TEST(SingleInstanceTest, aLockThatCannotBeWritten_stopsTheStartOnlyWhenAStationAnswers) {
    // A directory the lock cannot be made in (read-only, full, gone).
    QTemporaryDir dir;
    const QString gone = dir.path() + "/gone";
    FakePlatform platform;
    {
        core::SingleInstance instance(gone, [] { return QString("a station answers on /s"); });
        EXPECT_FALSE(instance.acquire(platform));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_TRUE(platform.messages[0].text.endsWith(
            gone + "/Ventrolo.lock cannot be written, and a station answers on /s)"));
    }
    platform.messages.clear();
    core::SingleInstance first(gone, [] { return QString(); });
    EXPECT_TRUE(first.acquire(platform));
    // Without lock and socket a second station of this computer is still refused.
    core::SingleInstance second(gone, [] { return QString(); });
    EXPECT_FALSE(second.acquire(platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("another Ventrolo on this computer runs in " +
                                                   gone));
}
