#include "core/SettingsFile.h"

#include "core/SettingsGroupReader.h"
#include "core/TextFile.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace core;

namespace {

Q_LOGGING_CATEGORY(lcTest, "test.settings")

struct SettingsFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("Ventrolo.ini");

    void write(const QByteArray& contents) { test_support::WriteFile(path, contents); }
    QByteArray read() { return test_support::ReadFile(path); }
};

} // namespace

TEST_F(SettingsFileTest, text_isWhatTheUserWroteEvenWithACommaAndNothingForOtherValues) {
    write("[serial]\n"
          "COM1=/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller,_D-if00\n"
          "COM2=\"/dev/ttyACM0\"  ; quoted\n"
          "COM3=  \n"
          "COM4=@Rect(1 2 3 4)\n"
          "COM5=@ByteArray(/dev/ttyS4)\n");
    const QSettings ini(path, QSettings::IniFormat);
    EXPECT_EQ(SettingsText(ini, "serial/COM1"),
              "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller,_D-if00");
    EXPECT_EQ(SettingsText(ini, "serial/COM2"), "/dev/ttyACM0");
    EXPECT_EQ(SettingsText(ini, "serial/COM3"), std::nullopt);
    EXPECT_EQ(SettingsText(ini, "serial/COM4"), std::nullopt);
    EXPECT_EQ(SettingsText(ini, "serial/COM5"), "/dev/ttyS4");
    EXPECT_EQ(SettingsText(ini, "serial/COM6"), std::nullopt);
}

TEST_F(SettingsFileTest, aSectionNamedLikeAGroupInsideAnother_hidesNoKeyOfIt) {
    // Found by fuzzing: the file ended in "[lpt/dev/ttyS1"; [lpt] was not read for port888.
    write(
        "[lpt]\nport888=/dev/parport3\n[lpt/dev/ttyS1\n[serial]\nCOM1=/dev/ttyACM0\n[serial/A]\n");
    const QSettings ini(path, QSettings::IniFormat);
    EXPECT_EQ(SettingsText(ini, "lpt/port888"), "/dev/parport3");
    EXPECT_EQ(SettingsText(ini, "serial/COM1"), "/dev/ttyACM0");
}

TEST_F(SettingsFileTest, append_keepsEveryLineOfTheUserAndReadsBackOverABlankEntry) {
    const QByteArray hand =
        "; my station\n[serial]\nCOM1=/dev/a,b\nCOM2=\n# junk QSettings cannot read\n"
        "COM3=/dev/x \\";
    write(hand);
    ASSERT_TRUE(AppendSettings(path, "serial", {{"COM2", "/dev/ttyUSB1"}, {"COM4", "/dev/ttyS1"}}));
    EXPECT_TRUE(read().startsWith(hand));
    const QSettings ini(path, QSettings::IniFormat);
    EXPECT_EQ(SettingsText(ini, "serial/COM1"), "/dev/a,b");
    EXPECT_EQ(SettingsText(ini, "serial/COM2"), "/dev/ttyUSB1");
    EXPECT_EQ(SettingsText(ini, "serial/COM4"), "/dev/ttyS1");

    QFile::remove(path); // a missing file is made
    ASSERT_TRUE(AppendSettings(path, "lpt", {{"backend", "auto"}}));
    EXPECT_EQ(read(), "[lpt]\nbackend=auto\n");
}

TEST_F(SettingsFileTest, set_changesTheEntryReadInPlaceAndKeepsEveryOtherLineAsWritten) {
    write("; my station\r\n[rotctld]\r\nenabled = false   ; off until asked\r\n\r\n"
          "[serial]\r\nCOM1=/dev/ttyUSB0\r\n");
    ASSERT_TRUE(SetSettings(path, "rotctld", {{"enabled", "true"}, {"port", "4533"}}));
    EXPECT_EQ(read(), "; my station\r\n[rotctld]\r\nenabled = true   ; off until asked\r\n"
                      "port=4533\r\n\r\n[serial]\r\nCOM1=/dev/ttyUSB0\r\n");
    // The last of two entries is the one read, and the one changed; a header may carry a note;
    // [RIG] is another group.
    write("[rig] ; the FT-757\nlink=serial\nother=1\n[rig]\nlink=rigctld\n[RIG]\nlink=serial\n"
          "[lpt]\nbackend=sim\n");
    ASSERT_TRUE(
        SetSettings(path, "rig", {{"link", "simulated"}, {"holdWhileTransmitting", "true"}}));
    EXPECT_EQ(read(), "[rig] ; the FT-757\nlink=serial\nother=1\n[rig]\nlink=simulated\n"
                      "holdWhileTransmitting=true\n[RIG]\nlink=serial\n[lpt]\nbackend=sim\n");
    // Another group's key of the same name stays; a missing group goes at the end.
    ASSERT_TRUE(SetSettings(path, "rigctld", {{"link", "x"}}));
    EXPECT_TRUE(read().endsWith("[lpt]\nbackend=sim\n\n[rigctld]\nlink=x\n"));
    // A change of the same size at once is read as changed, not from what was read before.
    write("[kenwood]\nmodel=ts-2000\nbaud=fast\n");
    EXPECT_EQ(SettingsText(IniSettings(path), "kenwood/model"), "ts-2000");
    ASSERT_TRUE(SetSettings(path, "kenwood", {{"model", "FTDX10"}, {"baud", "38400"}}));
    EXPECT_EQ(SettingsText(IniSettings(path), "kenwood/model"), "FTDX10");
    // Two changes at once, the second back to the size read before the first.
    write("[kenwood]\nmodel=TS-590\n");
    EXPECT_EQ(SettingsText(IniSettings(path), "kenwood/model"), "TS-590");
    ASSERT_TRUE(SetSettings(path, "kenwood", {{"model", "K3"}}));
    ASSERT_TRUE(SetSettings(path, "kenwood", {{"model", "TS-480"}}));
    EXPECT_EQ(SettingsText(IniSettings(path), "kenwood/model"), "TS-480");
    // A key without a value yet gets it before its note, the note's blanks kept.
    write("[web]\ntoken= ; made at the first enable\nport=8073\n");
    ASSERT_TRUE(SetSettings(path, "web", {{"token", "e216a4b9"}}));
    EXPECT_EQ(read(), "[web]\ntoken=e216a4b9 ; made at the first enable\nport=8073\n");
    QFile::remove(path);
    ASSERT_TRUE(SetSettings(path, "rig", {{"link", "serial"}}));
    EXPECT_EQ(read(), "[rig]\nlink=serial\n");
}

TEST_F(SettingsFileTest, aChangeThatWouldNotReadBackOrCannotBeWritten_leavesTheFileAsItIs) {
    // Found by fuzzing: a file of one quote, and a value of one quote.
    for (const QByteArray& open : {QByteArray("\""), QByteArray("[lpt]\nbackend=\nport888=\"\n")}) {
        write(open);
        QString error;
        EXPECT_FALSE(AppendSettings(path, "lpt", {{"port956", "/dev/parport1"}}, &error));
        EXPECT_FALSE(error.isEmpty());
        error.clear();
        EXPECT_FALSE(SetSettings(path, "lpt", {{"port956", "/dev/parport1"}}, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(read(), open);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Ventrolo.ini"});
    QString error;
    EXPECT_FALSE(
        SetSettings(dir.filePath("no/such/dir/Ventrolo.ini"), "rig", {{"link", "serial"}}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SettingsFileTest, aFileTheTextRuleRefuses_isNeverReadAndGivesNoValue) {
    // A named pipe blocked the program's start for good, a device would never end.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    auto nothingRead = [this](const char* why) {
        SCOPED_TRACE(why);
        const IniSettings ini(path);
        EXPECT_EQ(SettingsText(ini, "lpt/backend"), std::nullopt);
        EXPECT_FALSE(SettingsContain(ini, "lpt/backend"));
        EXPECT_TRUE(SettingsFileProblem(path)->contains(why));
    };
    nothingRead("pipe");
    ASSERT_TRUE(QFile::remove(path));
    write("[lpt]\nbackend=sim\n" + QByteArray(MaxTextFileBytes, ';'));
    nothingRead("larger than 4 MB");
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(SettingsFileProblem(path), std::nullopt); // missing: every key is missing
    write("[lpt]\nbackend=sim\n");
    EXPECT_EQ(SettingsFileProblem(path), std::nullopt);
}

TEST_F(SettingsFileTest, aFileThatCannotBeOpened_isAProblemWithTheSystemsReason) {
    write("[lpt]\nbackend=sim\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
    if (QFile(path).open(QIODevice::ReadOnly)) {
        // Root reads any file; not a kernel setting that can only be written.
        const QString writeOnly = "/proc/sys/vm/compact_memory";
        ASSERT_TRUE(QFile::remove(path));
        if (!QFile::exists(writeOnly) || QFile(writeOnly).open(QIODevice::ReadOnly) ||
            !QFile::link(writeOnly, path))
            GTEST_SKIP() << "no file here is unreadable";
    }
    ASSERT_TRUE(SettingsFileProblem(path));
    EXPECT_TRUE(SettingsFileProblem(path)->contains("Permission denied"));
    const IniSettings ini(path);
    EXPECT_FALSE(SettingsContain(ini, "lpt/backend"));
}

TEST_F(SettingsFileTest, defaultsThatCannotBeAdded_areToldOncePerFileAndReason) {
    // A directory that is not there: no reader can add its defaults, not even as root.
    const QString unwritable = dir.filePath("gone/Ventrolo.ini");
    const QString other = dir.filePath("also-gone/Ventrolo.ini");
    test_support::LogCapture log;
    for (const QString& file : {unwritable, unwritable, other}) {
        SettingsGroupReader reader(file, QStringLiteral("group"), nullptr);
        reader.read(QStringLiteral("key"), QStringLiteral("1"), QStringLiteral("a note"),
                    [](const QString&) { return true; });
        QString error;
        ASSERT_FALSE(reader.addMissing(&error));
        LogDefaultsNotAdded(lcTest(), file, error);
    }
    const QStringList lines = log.of(QStringLiteral("test.settings"));
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].contains(unwritable));
    EXPECT_TRUE(lines[1].contains(other));
}
