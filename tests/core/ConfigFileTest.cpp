#include "core/ConfigFile.h"

#include "support/FakePlatform.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace core;
using testing_support::FakePlatform;

namespace {

// Every value differs from every other and from the defaults, so a swapped field shows.
const QByteArray DistinctFile = "\"Version 1.24\"\r\n"
                                "\"kept, as it is\"\r\n"
                                "\"\\Loop.cat\",\"MHz\"\r\n"
                                "\"\\Timer2.tbl\"\r\n"
                                "1,98765,192\r\n"
                                "11,12,513,14,0\r\n"
                                "21,22,523,24,1\r\n"
                                "400,48.5\r\n"
                                "31,3,1031\r\n"
                                "41,4,1041\r\n"
                                "5,6\r\n"
                                "7,8\r\n"
                                "51,52\r\n"
                                "61,62\r\n"
                                "71,7.25\r\n"
                                "81,8.5\r\n"
                                "91,92\r\n"
                                "101,102\r\n"
                                "956\r\n"
                                "2,3,9600,38400\r\n"
                                "500,4,25,3\r\n"
                                "-2147483633,65280,12345,16711935\r\n"
                                "2000.5,1800\r\n"
                                "#TRUE#,#FALSE#\r\n"
                                "#FALSE#,#TRUE#,#FALSE#,#TRUE#\r\n"
                                "#TRUE#,#FALSE#,#TRUE#,#FALSE#\r\n"
                                "#TRUE#,#FALSE#,#FALSE#,#TRUE#\r\n"
                                "#TRUE#,#FALSE#\r\n"
                                "#FALSE#,#TRUE#\r\n"
                                "#FALSE#,#TRUE#\r\n"
                                "#TRUE#,#FALSE#\r\n"
                                "#FALSE#,#TRUE#\r\n"
                                "#TRUE#,#FALSE#\r\n"
                                "#FALSE#,#TRUE#\r\n"
                                "#TRUE#,#FALSE#\r\n";

struct ConfigFileTest : ::testing::Test {
    QTemporaryDir dir;
    ProgramState state;
    FakePlatform platform;
    ConfigFile config{state, platform, dir.path()};

    void writeFile(const QByteArray& contents, const QString& path = {}) {
        test_support::WriteFile(path.isEmpty() ? config.path() : path, contents);
    }
    QByteArray readFile(const QString& path = {}) {
        return test_support::ReadFile(path.isEmpty() ? config.path() : path);
    }
    // The contents a fresh state saves after the defaults.
    QByteArray defaultContents() {
        ProgramState fresh;
        ConfigFile defaults(fresh, platform, dir.path());
        defaults.DefaultConfig();
        platform.messages.pop_back();
        return defaults.serialize();
    }
};

} // namespace

TEST_F(ConfigFileTest, missingFile_givesDefaultsThatReachTheDiskAtTheNextSaveAndReadBack) {
    state.StoredProfiles[0].StepCounter = 77;
    EXPECT_EQ(config.LoadConfig(), ConfigFile::Loaded::Defaults);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "I create/use the default " + dir.path() + "/Ventrolo.cfg");
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.");
    EXPECT_FALSE(QFile::exists(config.path()));
    EXPECT_EQ(state.StoredProfiles[0].StepCounter, 0);

    ASSERT_TRUE(config.SaveConfig());
    const QByteArray saved = readFile();
    for (const char* line : {"\r\n200,200\r\n", "\r\n15,4\r\n15,5\r\n10,15\r\n", "\r\n888\r\n",
                             "\r\n-2147483631,16711680,0,255\r\n", "\r\n#TRUE#,#TRUE#\r\n"})
        EXPECT_TRUE(saved.contains(line)) << line;

    ProgramState reloaded;
    ConfigFile again(reloaded, platform, dir.path());
    EXPECT_EQ(again.LoadConfig(), ConfigFile::Loaded::FromFile);
    EXPECT_EQ(again.serialize(), saved);
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(ConfigFileTest, everyFieldLoadsIntoItsOwnPlaceAndSavesBackByteForByte) {
    writeFile(DistinctFile);
    EXPECT_EQ(config.LoadConfig(), ConfigFile::Loaded::FromFile);
    EXPECT_TRUE(platform.messages.empty());
    // Reading and writing share one field order, so the round trip alone misses two swapped
    // fields: the places easiest to swap are checked by name.
    const StepperProfile& s1 = state.StoredProfiles[0];
    const StepperProfile& s2 = state.StoredProfiles[1];
    EXPECT_EQ(state.ConfigReserved, "kept, as it is");
    EXPECT_EQ(state.TimerFileName, "\\Timer2.tbl");
    EXPECT_EQ((std::vector<Long>{state.SelectedStepper, state.PcSpeed, state.LptExtraBits}),
              (std::vector<Long>{1, 98765, 192}));
    EXPECT_EQ((std::vector<Long>{s1.StepCounter, s1.AutoPower, s2.StepCounter, s2.AutoPower}),
              (std::vector<Long>{11, 0, 21, 1}));
    EXPECT_EQ((std::vector<Long>{s2.ShuttleMin, s2.ShuttleMax, s1.CalibrationSteps,
                                 s2.CalibrationSteps, s1.BaudRate, s2.ComPort}),
              (std::vector<Long>{61, 62, 91, 92, 9600, 3}));
    EXPECT_EQ(s2.StepsPer360, 48.5f);
    EXPECT_EQ(s1.PulsTime, 7.25f);
    EXPECT_EQ(state.PelorusBackColor, static_cast<Long>(0x8000000Fu));
    EXPECT_EQ((std::vector<bool>{s2.MainShown, s2.PelorusShown, s2.TableWindowShown,
                                 s1.SmallPelorusShown, s2.OverlayMenu, s1.SpeedModulate}),
              (std::vector<bool>{true, false, true, true, true, true}));

    QFile::remove(config.path());
    ASSERT_TRUE(config.SaveConfig());
    EXPECT_EQ(readFile(), DistinctFile);

    QByteArray third = DistinctFile; // no third stepper: the first is selected
    writeFile(third.replace("1,98765,192", "7,98765,192"));
    (void)config.LoadConfig();
    EXPECT_EQ(state.SelectedStepper, 0);
}

TEST_F(ConfigFileTest, aTextWithQuotesReadFromADamagedFile_savesSoThatItReadsBackAsSaved) {
    // The second is what fuzzing found: an unquoted field holding a quote, and bytes 0.
    for (const QByteArray& damaged : {QByteArray("\"Version 1.24\"\r\nkept \"as\" is\r\n"),
                                      QByteArray(".\nf\t \0\0\x02\"", 9)}) {
        ProgramState read;
        ConfigFile first(read, platform, dir.path());
        EXPECT_NE(first.deserialize(damaged), 0);
        const QByteArray saved = first.serialize();
        ProgramState reread;
        ConfigFile second(reread, platform, dir.path());
        EXPECT_EQ(second.deserialize(saved), 0);
        EXPECT_EQ(second.serialize(), saved);
    }
}

TEST_F(ConfigFileTest, aFirstLineThatIsNotThisVersion_isDamagedAndKeptAsideBeforeTheSave) {
    QByteArray reordered = DistinctFile;
    const qsizetype second = reordered.indexOf('\n') + 1;
    reordered = reordered.mid(second, reordered.indexOf('\n', second) + 1 - second) +
                reordered.left(second) + reordered.mid(reordered.indexOf('\n', second) + 1);
    QByteArray random = DistinctFile;
    random.replace(1, 7, QByteArray("\x9b\x01\xff\x00\xc3\x7f\x80", 7));
    QByteArray older = DistinctFile;
    QByteArray latin1 = DistinctFile;
    for (const QByteArray& file : {older.replace("1.24", "1.23"),
                                   latin1.replace("Version", "Versi\xf3n"), random, reordered}) {
        ProgramState loaded;
        platform.messages.clear();
        ConfigFile loader(loaded, platform, dir.path());
        writeFile(file);
        EXPECT_EQ(loader.LoadConfig(), ConfigFile::Loaded::Defaults);
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_EQ(platform.messages[0].text,
                  config.path() +
                      " is damaged: its first line is not \"Version 1.24\", so nothing in it is "
                      "read and the default settings are used. The file is kept as " +
                      config.damagedCopyPath() + " before it is saved over.");
        EXPECT_TRUE(platform.messages[1].text.startsWith("I create/use the default "));
        EXPECT_EQ(readFile(), file);
        loaded.StoredProfiles[0].StepCounter = 5;
        ASSERT_TRUE(loader.SaveConfig());
        EXPECT_EQ(readFile(config.damagedCopyPath()), file);
        EXPECT_EQ(readFile(), loader.serialize());
    }
}

TEST_F(ConfigFileTest, defaultsKeepStepperTwosLowerLimitBothRampsAndTheReservedField) {
    StepperProfile& s1 = state.StoredProfiles[0];
    StepperProfile& s2 = state.StoredProfiles[1];
    s1.MinPosition = 44, s2.MinPosition = 33, s2.MaxPosition = 9999, state.LptExtraBits = 192;
    s1.SpeedModulate = s2.SpeedModulate = true;
    state.ConfigReserved = "mine";
    config.DefaultConfig();
    EXPECT_EQ(
        (std::vector<Long>{s1.MinPosition, s2.MinPosition, s2.MaxPosition, state.LptExtraBits}),
        (std::vector<Long>{0, 33, 500, 0}));
    EXPECT_TRUE(s1.SpeedModulate && s2.SpeedModulate);
    EXPECT_EQ(state.ConfigReserved, "mine");
}

TEST_F(ConfigFileTest, truncationAtEveryByte_keepsWhatWasReadAndNeverCrashes) {
    const QByteArray defaults = defaultContents();
    for (qsizetype cut = 0; cut < DistinctFile.size(); ++cut) {
        ProgramState loaded;
        ConfigFile loader(loaded, platform, dir.path());
        writeFile(DistinctFile.left(cut));
        (void)loader.LoadConfig();
        ASSERT_TRUE(loaded.SelectedStepper == 0 || loaded.SelectedStepper == 1);
        // Cut at a line end: every whole line before the cut is kept, the rest are defaults.
        if (cut > 16 && DistinctFile[cut - 1] == '\n') {
            const qsizetype lines = DistinctFile.left(cut).count('\n');
            const QList<QByteArray> saved = loader.serialize().split('\n');
            EXPECT_EQ(saved.mid(0, lines), DistinctFile.split('\n').mid(0, lines)) << cut;
            EXPECT_EQ(saved.mid(lines), defaults.split('\n').mid(lines)) << cut;
        }
    }
}

TEST_F(ConfigFileTest, positionsRead_saysWhetherBothCountersAndOverlayPositionsCameFromTheFile) {
    (void)config.LoadConfig();
    EXPECT_FALSE(config.positionsRead()); // no file
    writeFile(DistinctFile + "after the settings");
    (void)config.LoadConfig();
    EXPECT_TRUE(config.positionsRead());
    writeFile("\"Version 1.23\"\r\n" + DistinctFile.mid(DistinctFile.indexOf('\n') + 1));
    (void)config.LoadConfig();
    EXPECT_FALSE(config.positionsRead());
    // Cut at each line end: the positions are on lines 6, 7 and 11.
    for (qsizetype end = DistinctFile.indexOf('\n'); end >= 0;
         end = DistinctFile.indexOf('\n', end + 1)) {
        const qsizetype lines = DistinctFile.left(end + 1).count('\n');
        writeFile(DistinctFile.left(end + 1));
        ProgramState loaded;
        ConfigFile loader(loaded, platform, dir.path());
        (void)loader.LoadConfig();
        EXPECT_EQ(loader.positionsRead(), lines >= 11) << lines;
    }
}

TEST_F(ConfigFileTest, damagedFile_isKeptAsideOnceBeforeTheFirstSaveOverIt) {
    QByteArray damaged = DistinctFile;
    damaged.replace("31,3,1031", "31,fast,1031");
    writeFile(damaged);
    writeFile("an older damaged file", config.damagedCopyPath());
    EXPECT_EQ(config.LoadConfig(), ConfigFile::Loaded::FromFile);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              config.path() +
                  " is damaged at line 9: the settings from there on keep their "
                  "previous values. The damaged file is kept as " +
                  config.damagedCopyPath() + " before it is saved over.");
    EXPECT_EQ(state.StoredProfiles[0].CustomDelayMs, 31);
    EXPECT_EQ(state.StoredProfiles[0].FastestDelayMs, 2);  // from the fault on: as before
    EXPECT_EQ(state.StoredProfiles[1].StepsPer360, 48.5f); // before the fault: read
    EXPECT_EQ(readFile(config.damagedCopyPath()), "an older damaged file");

    ASSERT_TRUE(config.SaveConfig());
    EXPECT_EQ(readFile(config.damagedCopyPath()), damaged);
    EXPECT_EQ(readFile(), config.serialize());
    state.LptAddress = 632;
    ASSERT_TRUE(config.SaveConfig());
    EXPECT_EQ(readFile(config.damagedCopyPath()), damaged) << "our own file is no damaged one";
    EXPECT_TRUE(readFile().contains("\r\n632\r\n"));
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(ConfigFileTest, damagedFileThatCannotBeKeptAside_isNotSavedOverUntilItCanBe) {
    QByteArray damaged = DistinctFile;
    damaged.truncate(damaged.indexOf("956"));
    writeFile(damaged);
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ventrolo.cfg.damaged")); // no file can be written there
    (void)config.LoadConfig();
    EXPECT_FALSE(config.SaveConfig());
    EXPECT_TRUE(platform.messages.back().text.startsWith(
        config.path() + " is damaged and could not be kept as " + config.damagedCopyPath()));
    EXPECT_TRUE(platform.messages.back().text.endsWith(
        "The settings were not saved, so the damaged file stays as it is."));
    EXPECT_EQ(readFile(), damaged);

    ASSERT_TRUE(QDir(dir.path()).rmdir("Ventrolo.cfg.damaged"));
    ASSERT_TRUE(config.SaveConfig());
    EXPECT_EQ(readFile(config.damagedCopyPath()), damaged);
}

TEST_F(ConfigFileTest, unreadableFile_givesDefaultsAndIsNotSavedOver) {
    writeFile(DistinctFile);
    QFile::setPermissions(config.path(), QFileDevice::Permissions());
    const bool readableAnyway = QFile(config.path()).open(QIODevice::ReadOnly);
    if (readableAnyway) { // root reads any file; nobody reads a directory as a file
        ASSERT_TRUE(QFile::remove(config.path()) && QDir(dir.path()).mkdir("Ventrolo.cfg"));
    }
    EXPECT_EQ(config.LoadConfig(), ConfigFile::Loaded::Defaults);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[0].text.startsWith(config.path() + " cannot be read: "));
    EXPECT_TRUE(platform.messages[1].text.startsWith("I create/use the default "));

    EXPECT_FALSE(config.SaveConfig());
    EXPECT_TRUE(platform.messages.back().text.contains("could not be kept as"));
    EXPECT_FALSE(QFile::exists(config.damagedCopyPath()));
    QFile::setPermissions(config.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readFile(), readableAnyway ? QByteArray() : DistinctFile);
}

TEST_F(ConfigFileTest, garbageHugeFilesOtherLineEndsAndAByteOrderMarkAreSurvived) {
    QRandomGenerator random(1234);
    for (int round = 0; round < 50; ++round) {
        QByteArray garbage = "\"Version 1.24\"\r\n";
        for (int i = 0; i < 400; ++i)
            garbage += static_cast<char>(random.bounded(256));
        writeFile(garbage);
        ProgramState loaded;
        (void)ConfigFile(loaded, platform, dir.path()).LoadConfig();
        EXPECT_TRUE(loaded.SelectedStepper == 0 || loaded.SelectedStepper == 1);
    }
    // Line ends of a bare carriage return, and a byte order mark, read as the plain file.
    QByteArray crOnly = DistinctFile;
    for (const QByteArray& variant :
         {crOnly.replace("\r\n", "\r"), "\xEF\xBB\xBF" + DistinctFile}) {
        writeFile(variant);
        platform.messages.clear();
        ProgramState read;
        ConfigFile reader(read, platform, dir.path());
        EXPECT_EQ(reader.LoadConfig(), ConfigFile::Loaded::FromFile);
        EXPECT_EQ(reader.serialize(), DistinctFile);
        EXPECT_TRUE(platform.messages.empty());
    }

    // Whatever follows the settings is told, and kept aside with the file before the save.
    const QByteArray huge = DistinctFile + QByteArray(20 * 1024 * 1024, '9');
    writeFile(huge);
    ProgramState loaded;
    ConfigFile loader(loaded, platform, dir.path());
    (void)loader.LoadConfig();
    EXPECT_EQ(loader.serialize(), DistinctFile);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              config.path() +
                  " is damaged: it goes on after the settings at line 36 (it is larger than 4 "
                  "MB; what follows was not read); that part was not read, the settings were. "
                  "The damaged file is kept as " +
                  config.damagedCopyPath() + " before it is saved over.");
    ASSERT_TRUE(loader.SaveConfig());
    EXPECT_EQ(readFile(config.damagedCopyPath()), huge);
    EXPECT_EQ(readFile(), DistinctFile);
}

TEST_F(ConfigFileTest, whatIsNoRegularFile_isNeitherReadNorWrittenThrough) {
    // A link to a device: reading it would never end, saving through it would replace the
    // device by a file (as root).
    const QString target = dir.filePath("target");
    writeFile(DistinctFile, target);
    ASSERT_TRUE(QFile::link("/dev/zero", config.path()));
    EXPECT_EQ(config.LoadConfig(), ConfigFile::Loaded::Defaults);
    EXPECT_TRUE(platform.messages[0].text.startsWith(config.path() +
                                                     " cannot be read: it is not a regular file"));
    EXPECT_FALSE(config.SaveConfig());
    EXPECT_TRUE(QFileInfo(config.path()).isSymLink());

    // A link to a regular file is read, never written through.
    ASSERT_TRUE(QFile::remove(config.path()) && QFile::link(target, config.path()));
    ProgramState linked;
    ConfigFile throughLink(linked, platform, dir.path());
    EXPECT_EQ(throughLink.LoadConfig(), ConfigFile::Loaded::FromFile);
    platform.messages.clear();
    EXPECT_FALSE(throughLink.SaveConfig());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "The settings could not be saved to " + config.path() + ": " + config.path() +
                  " is a symbolic link; the file it points to is not written (put the file "
                  "itself in its place)");
    EXPECT_EQ(readFile(target), DistinctFile);
    EXPECT_TRUE(QFileInfo(config.path()).isSymLink());
}

TEST_F(ConfigFileTest, aFailedSave_isReportedAndLeavesTheOldFile) {
    writeFile(DistinctFile);
    ProgramState other;
    ConfigFile blocked(other, platform, dir.path() + "/missing/dir");
    EXPECT_FALSE(blocked.SaveConfig());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Exclamation);
    EXPECT_EQ(readFile(), DistinctFile);
}

TEST_F(ConfigFileTest, aTableOrTimerNameLeadingOutOfTheDirectory_givesTheDefaultAndIsKeptAside) {
    const ProgramState defaults;
    for (const QByteArray& name :
         {QByteArray("\\../outside.cat"), QByteArray("/etc/Loop.cat"),
          QByteArray("\\sub\\Loop.cat"), QByteArray("\\.."), QByteArray("..")}) {
        SCOPED_TRACE(name.toStdString());
        ProgramState fresh;
        FakePlatform told;
        ConfigFile loaded(fresh, told, dir.path());
        QByteArray file = DistinctFile;
        file.replace("\"\\Loop.cat\"", "\"" + name + "\"");
        file.replace("\"\\Timer2.tbl\"", "\"" + name + "\"");
        writeFile(file);
        QFile::remove(loaded.damagedCopyPath());

        EXPECT_EQ(loaded.LoadConfig(), ConfigFile::Loaded::FromFile);
        EXPECT_EQ(fresh.TableFileName, defaults.TableFileName);
        EXPECT_EQ(fresh.TimerFileName, defaults.TimerFileName);
        EXPECT_EQ(fresh.FrequencyUnit, "MHz") << "the rest of the file is read";
        EXPECT_EQ(fresh.StoredProfiles[1].StepCounter, 21);
        EXPECT_TRUE(loaded.positionsRead());
        ASSERT_EQ(told.messages.size(), 2u);
        EXPECT_TRUE(told.messages[0].text.contains(" at line 3 is no file of the program "
                                                   "directory; \"\\Table.cat\" is used instead"))
            << told.messages[0].text.toStdString();
        EXPECT_TRUE(told.messages[1].text.contains(" at line 4 "));

        ASSERT_TRUE(loaded.SaveConfig());
        EXPECT_EQ(readFile(loaded.damagedCopyPath()), file) << "the hand-edited file is kept";
        EXPECT_TRUE(readFile().contains("\"\\Table.cat\",\"MHz\"\r\n\"\\Timer1.tbl\"\r\n"));
    }
}

TEST_F(ConfigFileTest, limitsTheWrongWayRound_areExchangedToldAndTheFileKeptAside) {
    QByteArray file = DistinctFile;
    file.replace("21,22,523,24,1\r\n", "21,523,22,24,1\r\n");
    writeFile(file);

    EXPECT_EQ(config.LoadConfig(), ConfigFile::Loaded::FromFile);
    EXPECT_EQ(state.StoredProfiles[0].MinPosition, 12) << "the first stepper's stay as they are";
    EXPECT_EQ(state.StoredProfiles[0].MaxPosition, 513);
    EXPECT_EQ(state.StoredProfiles[1].MinPosition, 22);
    EXPECT_EQ(state.StoredProfiles[1].MaxPosition, 523);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 21);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(
        "the lower limit of stepper 2 (523) at line 7 is above its upper limit (22)"))
        << platform.messages[0].text.toStdString();

    ASSERT_TRUE(config.SaveConfig());
    EXPECT_EQ(readFile(config.damagedCopyPath()), file) << "the hand-edited file is kept";
    EXPECT_TRUE(readFile().contains("\r\n21,22,523,24,1\r\n"));
}
