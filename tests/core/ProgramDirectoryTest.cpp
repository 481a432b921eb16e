#include "core/ProgramDirectory.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace core;

TEST(ProgramDirectory, aRequestedDirectoryIsMadeWhenMissing) {
    QTemporaryDir temp;
    const QString wanted = temp.path() + "/a/b";
    const auto result = ResolveProgramDirectory(wanted, temp.path());
    EXPECT_EQ(result.path, wanted);
    EXPECT_TRUE(QDir(wanted).exists());
}

TEST(ProgramDirectory, theExecutablesDirectoryWhenWritableElseTheDataDirectory) {
    QTemporaryDir temp;
    EXPECT_EQ(ResolveProgramDirectory({}, temp.path()).path, temp.path());

    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    const auto fallback = ResolveProgramDirectory({}, temp.path() + "/no-such-dir");
    // An installed program keeps nothing beside itself, even where it may write (root).
    const auto installed = ResolveProgramDirectory({}, temp.path(), {"/usr/bin", temp.path()});
    // Nor under another prefix, where bin/ lies beside share/ventrolo.
    ASSERT_TRUE(QDir(temp.path()).mkpath("prefix/bin"));
    ASSERT_TRUE(QDir(temp.path()).mkpath("prefix/share/ventrolo"));
    const auto prefixed = ResolveProgramDirectory({}, temp.path() + "/prefix/bin");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(fallback.path, dataHome.path() + "/ventrolo");
    EXPECT_TRUE(QDir(fallback.path).exists());
    EXPECT_EQ(installed.path, fallback.path);
    EXPECT_EQ(prefixed.path, fallback.path);
}

TEST(ProgramDirectory, aDirectoryThatCannotBeMadeIsReported) {
    QTemporaryDir temp;
    QFile blocker(temp.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const auto result = ResolveProgramDirectory(temp.path() + "/file/sub", temp.path());
    EXPECT_TRUE(result.path.isEmpty());
    EXPECT_FALSE(result.error.isEmpty());
}

TEST(ProgramDirectory, withoutAHome_anInstalledProgramAsksForADirectoryInsteadOfTheRoot) {
    QTemporaryDir temp;
    const QByteArray home = qgetenv("HOME");
    for (const char* without : {"", "/"}) {
        qputenv("HOME", without);
        const auto result = ResolveProgramDirectory({}, temp.path(), {temp.path()});
        EXPECT_TRUE(result.path.isEmpty()) << result.path.toStdString();
        EXPECT_TRUE(result.error.contains("give one with --dir")) << result.error.toStdString();
    }
    qunsetenv("HOME");
    EXPECT_TRUE(ResolveProgramDirectory({}, temp.path(), {temp.path()}).error.contains("not set"));
    // XDG_DATA_HOME still says where.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    EXPECT_EQ(ResolveProgramDirectory({}, temp.path(), {temp.path()}).path,
              dataHome.path() + "/ventrolo");
    qunsetenv("XDG_DATA_HOME");
    qputenv("HOME", home);
}
