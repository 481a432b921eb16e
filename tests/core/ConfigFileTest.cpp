#include "core/ConfigFile.h"

#include "support/FakePlatform.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace core;
using testing_support::FakePlatform;

namespace {

// A port that records every write in order.
struct RecordingLpt : platform::LptPort {
    std::vector<std::pair<int, int>> writes;
    void Out32(std::uint16_t address, std::uint8_t value) override {
        writes.emplace_back(address, value);
    }
    std::uint8_t Inp32(std::uint16_t) override { return 0; }
    QString backendName() const override { return "recording"; }
};

// The file made from the defaults, written out by hand, with a measured PC speed of 4321.
const QByteArray DefaultFile = "\"Version 1.24\"\r\n"
                               "\"\"\r\n"
                               "\"\\Table.cat\",\"kHz\"\r\n"
                               "\"\\Timer1.tbl\"\r\n"
                               "0,4321,0\r\n"
                               "0,0,500,250,1\r\n"
                               "0,0,500,250,1\r\n"
                               "200,200\r\n"
                               "15,2,1000\r\n"
                               "15,2,1000\r\n"
                               "0,0\r\n"
                               "10,10\r\n"
                               "0,50\r\n"
                               "0,50\r\n"
                               "15,4\r\n"
                               "15,5\r\n"
                               "10,15\r\n"
                               "100,100\r\n"
                               "888\r\n"
                               "1,1,4800,4800\r\n"
                               "1000,2,9,1\r\n"
                               "-2147483631,16711680,0,255\r\n"
                               "1575,1575\r\n"
                               "#FALSE#,#FALSE#\r\n"
                               "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"
                               "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"
                               "#FALSE#,#FALSE#,#FALSE#,#FALSE#\r\n"
                               "#FALSE#,#FALSE#\r\n"
                               "#FALSE#,#FALSE#\r\n"
                               "#TRUE#,#TRUE#\r\n"
                               "#FALSE#,#FALSE#\r\n"
                               "#FALSE#,#FALSE#\r\n"
                               "#FALSE#,#FALSE#\r\n"
                               "#FALSE#,#FALSE#\r\n"
                               "#FALSE#,#FALSE#\r\n";

// Every value differs from every other and from the defaults, so a swapped field shows.
const QByteArray DistinctFile = "\"Version 1.24\"\r\n"
                                "\"kept as it is\"\r\n"
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
    RecordingLpt port;
    ConfigFile config{state, platform, port, dir.path()};

    ConfigFileTest() {
        config.calibratePcSpeed = [this] { state.PcSpeed = 4321; };
    }
    void writeFile(const QByteArray& contents) {
        QFile file(config.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QByteArray readFile() {
        QFile file(config.path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(ConfigFileTest, missingFile_givesDefaultsWithTheMessageAndSavesTheHandWrittenFixture) {
    state.StoredProfiles[0].StepCounter = 77;
    config.LoadConfig();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "I create/use the default " + dir.path() + "/Ventrolo.cfg");
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.");
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Information);
    EXPECT_EQ(port.writes, (std::vector<std::pair<int, int>>{{632, 0}, {956, 0}, {888, 0}}));
    EXPECT_FALSE(QFile::exists(config.path())) << "the defaults reach the disk at the next save";
    EXPECT_EQ(state.StoredProfiles[0].StepCounter, 0);

    ASSERT_TRUE(config.SaveConfig());
    EXPECT_EQ(readFile(), DefaultFile);

    ProgramState reloaded;
    ConfigFile again(reloaded, platform, port, dir.path());
    again.LoadConfig();
    EXPECT_EQ(reloaded.StoredProfiles, state.StoredProfiles);
    EXPECT_EQ(reloaded.PelorusBackColor, static_cast<Long>(0x80000011u));
    EXPECT_EQ(again.serialize(), DefaultFile);
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(ConfigFileTest, everyFieldLoadsIntoItsOwnPlaceAndSavesBackByteForByte) {
    writeFile(DistinctFile);
    config.LoadConfig();
    EXPECT_TRUE(platform.messages.empty());
    const StepperProfile& s1 = state.StoredProfiles[0];
    const StepperProfile& s2 = state.StoredProfiles[1];
    EXPECT_EQ(state.ConfigReserved, "kept as it is");
    EXPECT_EQ(state.TableFileName, "\\Loop.cat");
    EXPECT_EQ(state.FrequencyUnit, "MHz");
    EXPECT_EQ(state.TimerFileName, "\\Timer2.tbl");
    EXPECT_EQ(state.SelectedStepper, 1);
    EXPECT_EQ(state.PcSpeed, 98765);
    EXPECT_EQ(state.LptExtraBits, 192);
    EXPECT_EQ((std::vector<Long>{s1.StepCounter, s1.MinPosition, s1.MaxPosition, s1.CenterPosition,
                                 s1.AutoPower}),
              (std::vector<Long>{11, 12, 513, 14, 0}));
    EXPECT_EQ((std::vector<Long>{s2.StepCounter, s2.MinPosition, s2.MaxPosition, s2.CenterPosition,
                                 s2.AutoPower}),
              (std::vector<Long>{21, 22, 523, 24, 1}));
    EXPECT_EQ(s1.StepsPer360, 400.0f);
    EXPECT_EQ(s2.StepsPer360, 48.5f);
    EXPECT_EQ(s1.CustomDelayMs, 31);
    EXPECT_EQ(s1.FastestDelayMs, 3);
    EXPECT_EQ(s1.SlowestDelayMs, 1031);
    EXPECT_EQ(s2.CustomDelayMs, 41);
    EXPECT_EQ(s2.FastestDelayMs, 4);
    EXPECT_EQ(s2.SlowestDelayMs, 1041);
    EXPECT_EQ(s1.OverlayPosition, 5);
    EXPECT_EQ(s2.OverlayPosition, 6);
    EXPECT_EQ(s1.OverlaySteps, 7);
    EXPECT_EQ(s2.OverlaySteps, 8);
    EXPECT_EQ(s1.ShuttleMin, 51);
    EXPECT_EQ(s1.ShuttleMax, 52);
    EXPECT_EQ(s2.ShuttleMin, 61);
    EXPECT_EQ(s2.ShuttleMax, 62);
    EXPECT_EQ(s1.PulsSteps, 71);
    EXPECT_EQ(s1.PulsTime, 7.25f);
    EXPECT_EQ(s2.PulsSteps, 81);
    EXPECT_EQ(s2.PulsTime, 8.5f);
    EXPECT_EQ(s1.CalibrationSteps, 91);
    EXPECT_EQ(s2.CalibrationSteps, 92);
    EXPECT_EQ(s1.GotoStepValue, 101);
    EXPECT_EQ(s2.GotoStepValue, 102);
    EXPECT_EQ(state.LptAddress, 956);
    EXPECT_EQ(s1.ComPort, 2);
    EXPECT_EQ(s2.ComPort, 3);
    EXPECT_EQ(s1.BaudRate, 9600);
    EXPECT_EQ(s2.BaudRate, 38400);
    EXPECT_EQ(state.ComPollMs, 500);
    EXPECT_EQ(state.RigModel, 4);
    EXPECT_EQ(state.CatScrollSetting, 25);
    EXPECT_EQ(state.RigModeCode, 3);
    EXPECT_EQ(state.PelorusBackColor, static_cast<Long>(0x8000000Fu));
    EXPECT_EQ(state.PelorusRimColor, 0x00FF00);
    EXPECT_EQ(state.PelorusMiddleColor, 12345);
    EXPECT_EQ(state.PelorusDegreeColor, 0xFF00FF);
    EXPECT_EQ(state.SmallPelorusHeight, 2000.5f);
    EXPECT_EQ(state.SmallPelorusWidth, 1800.0f);
    EXPECT_TRUE(state.BothSteppersPin6);
    EXPECT_FALSE(state.JoystickOn);
    EXPECT_EQ((std::vector<bool>{s1.MainShown, s1.PelorusShown, s1.TableWindowShown,
                                 s1.TimerWindowShown}),
              (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ((std::vector<bool>{s2.MainShown, s2.PelorusShown, s2.TableWindowShown,
                                 s2.TimerWindowShown}),
              (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ((std::vector<bool>{s1.SmallPelorusShown, s2.SmallPelorusShown, s1.OverlayMenu,
                                 s2.OverlayMenu}),
              (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(
        (std::vector<bool>{s1.OverlayOn, s1.OverlayState, s1.CircleRefLines, s1.RemoteTurning,
                           s1.EndSwitches, s1.SwitchesShowOnly, s1.CenterSwitch, s1.SpeedModulate}),
        (std::vector<bool>{true, false, false, true, false, true, false, true}));
    EXPECT_EQ(
        (std::vector<bool>{s2.OverlayOn, s2.OverlayState, s2.CircleRefLines, s2.RemoteTurning,
                           s2.EndSwitches, s2.SwitchesShowOnly, s2.CenterSwitch, s2.SpeedModulate}),
        (std::vector<bool>{false, true, true, false, true, false, true, false}));

    QFile::remove(config.path());
    ASSERT_TRUE(config.SaveConfig());
    EXPECT_EQ(readFile(), DistinctFile);
}

TEST_F(ConfigFileTest, anotherVersion_givesDefaultsAndLeavesTheOldFileUntilTheNextSave) {
    QByteArray old = DistinctFile;
    old.replace("Version 1.24", "Version 1.23");
    writeFile(old);
    config.LoadConfig();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith("I create/use the default "));
    EXPECT_EQ(state.StoredProfiles[0].MaxPosition, 500);
    EXPECT_EQ(state.LptAddress, 888);
    EXPECT_EQ(readFile(), old);
    ASSERT_TRUE(config.SaveConfig());
    EXPECT_EQ(readFile(), DefaultFile);
}

TEST_F(ConfigFileTest, defaultsKeepStepperTwosLowerLimitBothRampsAndTheReservedField) {
    state.StoredProfiles[1].MinPosition = 33;
    state.StoredProfiles[0].SpeedModulate = true;
    state.StoredProfiles[1].SpeedModulate = true;
    state.StoredProfiles[0].MinPosition = 44;
    state.StoredProfiles[1].MaxPosition = 9999;
    state.ConfigReserved = "mine";
    state.LptExtraBits = 192;
    config.DefaultConfig();
    EXPECT_EQ(state.StoredProfiles[1].MinPosition, 33);
    EXPECT_EQ(state.StoredProfiles[0].MinPosition, 0);
    EXPECT_EQ(state.StoredProfiles[1].MaxPosition, 500);
    EXPECT_TRUE(state.StoredProfiles[0].SpeedModulate);
    EXPECT_TRUE(state.StoredProfiles[1].SpeedModulate);
    EXPECT_EQ(state.ConfigReserved, "mine");
    EXPECT_EQ(state.LptExtraBits, 0);
    EXPECT_EQ(state.PcSpeed, 4321);
    EXPECT_EQ(state.StoredProfiles[1].PulsTime, 5.0f);
    EXPECT_EQ(state.StoredProfiles[1].CalibrationSteps, 15);
}

TEST_F(ConfigFileTest, truncationAtEveryByte_keepsWhatWasReadAndNeverCrashes) {
    ProgramState distinct;
    {
        ConfigFile loader(distinct, platform, port, dir.path());
        ASSERT_EQ(loader.deserialize(DistinctFile), 0);
    }
    QByteArray defaults = DefaultFile;
    defaults.replace("0,4321,0", "0,0,0"); // nothing measured without the defaults message
    for (qsizetype cut = 0; cut < DistinctFile.size(); ++cut) {
        ProgramState loaded;
        ConfigFile loader(loaded, platform, port, dir.path());
        writeFile(DistinctFile.left(cut));
        loader.LoadConfig();
        ASSERT_TRUE(loaded.SelectedStepper == 0 || loaded.SelectedStepper == 1);
        // Cut at a line end: every whole line before the cut is kept, the rest are defaults.
        if (cut > 16 && DistinctFile[cut - 1] == '\n') {
            const QByteArray saved = loader.serialize();
            const qsizetype lines = DistinctFile.left(cut).count('\n');
            auto firstLines = [](const QByteArray& text, qsizetype n) {
                return text.split('\n').mid(0, n);
            };
            auto lastLines = [](const QByteArray& text, qsizetype n) {
                return text.split('\n').mid(n);
            };
            EXPECT_EQ(firstLines(saved, lines), firstLines(DistinctFile, lines)) << cut;
            EXPECT_EQ(lastLines(saved, lines), lastLines(defaults, lines)) << cut;
        }
    }
}

TEST_F(ConfigFileTest, aTextWhereANumberBelongs_stopsThereAndSaysWhere) {
    QByteArray damaged = DistinctFile;
    damaged.replace("31,3,1031", "31,fast,1031");
    writeFile(damaged);
    config.LoadConfig();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("line 9"))
        << platform.messages[0].text.toStdString();
    EXPECT_EQ(state.StoredProfiles[0].CustomDelayMs, 31);
    EXPECT_EQ(state.StoredProfiles[0].FastestDelayMs, 2);  // from the fault on: as before
    EXPECT_EQ(state.StoredProfiles[1].StepsPer360, 48.5f); // before the fault: read
    EXPECT_EQ(state.LptAddress, 888);
}

TEST_F(ConfigFileTest, garbageHugeFilesAndCarriageReturnLineEndsAreSurvived) {
    QRandomGenerator random(1234);
    for (int round = 0; round < 50; ++round) {
        QByteArray garbage = "\"Version 1.24\"\r\n";
        for (int i = 0; i < 400; ++i)
            garbage += static_cast<char>(random.bounded(256));
        writeFile(garbage);
        ProgramState loaded;
        ConfigFile loader(loaded, platform, port, dir.path());
        loader.LoadConfig();
        EXPECT_TRUE(loaded.SelectedStepper == 0 || loaded.SelectedStepper == 1);
    }

    QByteArray huge = DistinctFile;
    huge += QByteArray(20 * 1024 * 1024, '9');
    writeFile(huge);
    ProgramState fromHuge;
    ConfigFile hugeLoader(fromHuge, platform, port, dir.path());
    hugeLoader.LoadConfig();
    EXPECT_EQ(hugeLoader.serialize(), DistinctFile);

    QByteArray crOnly = DistinctFile;
    crOnly.replace("\r\n", "\r");
    writeFile(crOnly);
    ProgramState fromCr;
    ConfigFile crLoader(fromCr, platform, port, dir.path());
    const auto before = platform.messages.size();
    crLoader.LoadConfig();
    EXPECT_EQ(platform.messages.size(), before);
    EXPECT_EQ(crLoader.serialize(), DistinctFile);
}

TEST_F(ConfigFileTest, aSelectedStepperOtherThanOneOrTwoSelectsTheFirst) {
    QByteArray odd = DistinctFile;
    odd.replace("1,98765,192", "7,98765,192");
    writeFile(odd);
    config.LoadConfig();
    EXPECT_EQ(state.SelectedStepper, 0);
}

TEST_F(ConfigFileTest, aFailedSave_isReportedAndLeavesTheOldFile) {
    writeFile(DistinctFile);
    ProgramState other;
    ConfigFile blocked(other, platform, port, dir.path() + "/missing/dir");
    EXPECT_FALSE(blocked.SaveConfig());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Exclamation);
    EXPECT_EQ(readFile(), DistinctFile);
}

TEST_F(ConfigFileTest, saveAndEnd_clearsTheDataRegisterThenSaves) {
    state.LptAddress = 956;
    ASSERT_TRUE(config.SaveAndEnd());
    EXPECT_EQ(port.writes, (std::vector<std::pair<int, int>>{{956, 0}}));
    EXPECT_TRUE(QFile::exists(config.path()));
    EXPECT_EQ(dir.path() + "/Ventrolo.cfg", config.path());
}
