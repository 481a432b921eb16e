#include "port/StepDirSettings.h"

#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace port;

namespace {

struct StepDirSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString file = dir.filePath("Ventrolo.ini");

    void write(const QByteArray& text) { test_support::WriteFile(file, text); }
    QByteArray contents() const { return test_support::ReadFile(file); }
};

} // namespace

TEST_F(StepDirSettingsTest, missingKeysAreAddedWithTheirDefaultsAndAComment_once) {
    write("[lpt]\nbackend=sim\n");
    EXPECT_EQ(ReadStepperOutputs(file), DefaultStepperOutputs());
    EXPECT_EQ(DefaultStepperOutputs()[1].enableBit, 3);

    const QByteArray text = contents();
    EXPECT_TRUE(text.startsWith("[lpt]\nbackend=sim\n"));
    EXPECT_TRUE(text.contains("[stepper1]\n; output=phase"));
    {
        const QSettings ini(file, QSettings::IniFormat);
        EXPECT_EQ(ini.value("stepper1/output").toString(), "phase");
        EXPECT_EQ(ini.value("stepper1/enable").toString(), "D2");
        EXPECT_EQ(ini.value("stepper2/enable").toString(), "D3");
        EXPECT_EQ(ini.value("stepper2/enableActive").toString(), "low");
        EXPECT_EQ(ini.value("stepper2/microsteps").toString(), "1");
    }
    core::SettingsReport report;
    EXPECT_EQ(ReadStepperOutputs(file, &report), DefaultStepperOutputs());
    EXPECT_TRUE(report.isEmpty());
    EXPECT_EQ(contents(), text) << "nothing is added twice";
}

TEST_F(StepDirSettingsTest, aStepDirDriverIsReadAsWritten) {
    write("[stepper1]\noutput = StepDir\nstep=d4\ndir=5\nenable=D6\nenableActive=HIGH\n"
          "dirInvert=yes\npulseUs=2\ndirSetupUs=0\nmicrosteps=16\n");
    core::SettingsReport report;
    const StepperOutputs outputs = ReadStepperOutputs(file, &report);
    EXPECT_TRUE(report.isEmpty()) << report.text().toStdString();
    StepDirSettings expected;
    expected.output = OutputKind::StepDir;
    expected.stepBit = 4;
    expected.dirBit = 5;
    expected.enableBit = 6;
    expected.enableActiveLow = false;
    expected.dirInvert = true;
    expected.pulseUs = 2;
    expected.dirSetupUs = 0;
    expected.microsteps = 16;
    EXPECT_EQ(outputs[0], expected);
    EXPECT_EQ(outputs[1], DefaultStepperOutputs()[1]);
}

TEST_F(StepDirSettingsTest, unusableValuesAreReportedAndTheirDefaultsTaken) {
    write("[stepper1]\noutput=servo\nstep=D8\nenableActive=middle\ndirInvert=maybe\n"
          "pulseUs=0\ndirSetupUs=1001\nmicrosteps=512\n"
          "[stepper2]\noutput=stepdir\nmicrosteps=\npulseUs=1000\n");
    core::SettingsReport report;
    const StepperOutputs outputs = ReadStepperOutputs(file, &report);
    EXPECT_EQ(outputs[0], DefaultStepperOutputs()[0]);
    EXPECT_EQ(outputs[1].output, OutputKind::StepDir);
    EXPECT_EQ(outputs[1].microsteps, 1);
    EXPECT_EQ(outputs[1].pulseUs, 1000);

    std::vector<QString> keys;
    for (const core::UnusedSetting& u : report.unused())
        keys.push_back(u.key + "=" + u.found + " -> " + u.kept);
    EXPECT_EQ(keys, (std::vector<QString>{
                        "stepper1/output=servo -> phase", "stepper1/step=D8 -> D0",
                        "stepper1/enableActive=middle -> low", "stepper1/dirInvert=maybe -> false",
                        "stepper1/pulseUs=0 -> 5", "stepper1/dirSetupUs=1001 -> 5",
                        "stepper1/microsteps=512 -> 1", "stepper2/microsteps= -> 1"}));
    EXPECT_TRUE(report.text().contains(
        file + ": [stepper1] microsteps=512 cannot be used; 1 is used instead."));
    const QSettings ini(file, QSettings::IniFormat);
    EXPECT_EQ(ini.value("stepper1/microsteps").toString(), "512")
        << "values the user gave are never overwritten";
}

namespace {

std::vector<QString> Told(const core::SettingsReport& report) {
    std::vector<QString> told;
    for (const core::UnusedSetting& u : report.unused())
        told.push_back(u.key + "=" + u.found + " -> " + u.kept);
    return told;
}

} // namespace

TEST_F(StepDirSettingsTest, linesSharedWithinAStepper_takeTheDefaultsAndEveryChangeIsToldOnce) {
    // Stepper 2's STEP on its default ENABLE line: it would step whenever the driver is enabled.
    // ENABLE keeps D3, so it is not told (a "D3 cannot be used; D3 is used" would contradict
    // itself); DIR, which shared nothing, is told because it changes too.
    write("[stepper2]\noutput=stepdir\nstep=D3\ndir=D7\n"
          "[stepper1]\noutput=stepdir\nstep=D0\ndir=D0\n");
    core::SettingsReport report;
    const StepperOutputs outputs = ReadStepperOutputs(file, &report);
    EXPECT_EQ(outputs[0].dirBit, 1);
    EXPECT_EQ(outputs[1].stepBit, 5);
    EXPECT_EQ(outputs[1].dirBit, 1);
    EXPECT_EQ(outputs[1].enableBit, 3);
    EXPECT_EQ(Told(report), (std::vector<QString>{
                                "stepper1/dir=D0 (step and dir on one line) -> D1",
                                "stepper2/step=D3 (step and enable on one line) -> D5",
                                "stepper2/dir=D7 (step and enable on one line) -> D1"}));
}

TEST_F(StepDirSettingsTest, aStepLineOfBothDrivers_isRefused) {
    // A driver whose ENABLE is off still counts STEP pulses: stepper 2 on stepper 1's STEP would
    // move with every step of stepper 1.
    write("[stepper1]\noutput=stepdir\n[stepper2]\noutput=stepdir\nstep=D0\n");
    core::SettingsReport report;
    StepperOutputs outputs = ReadStepperOutputs(file, &report);
    EXPECT_EQ(outputs[0].stepBit, 0);
    EXPECT_EQ(outputs[1].stepBit, 5);
    EXPECT_EQ(Told(report), (std::vector<QString>{
                                "stepper2/step=D0 (D0 is stepper 1's STEP line) -> D5"}));
    EXPECT_TRUE(report.text().contains("[stepper2] step=D0 (D0 is stepper 1's STEP line) cannot "
                                       "be used; D5 is used instead."));

    // Stepper 1 moved onto stepper 2's default lines: stepper 1 gives way too, so the lines
    // used never clash. A stepper on the coil code shares no STEP line.
    write("[stepper1]\noutput=stepdir\nstep=D5\n[stepper2]\noutput=stepdir\n");
    report = {};
    outputs = ReadStepperOutputs(file, &report);
    EXPECT_EQ(outputs[0].stepBit, 0);
    EXPECT_EQ(outputs[1].stepBit, 5);
    EXPECT_EQ(Told(report), (std::vector<QString>{
                                "stepper1/step=D5 (D5 is stepper 2's STEP line) -> D0"}));
    write("[stepper1]\noutput=phase\n[stepper2]\noutput=stepdir\nstep=D0\n");
    report = {};
    EXPECT_EQ(ReadStepperOutputs(file, &report)[1].stepBit, 0);
    EXPECT_TRUE(report.isEmpty()) << report.text().toStdString();
}

TEST(DataBitRole, namesWhatEachStepDirStepperUsesABitFor) {
    StepperOutputs outputs = DefaultStepperOutputs();
    EXPECT_EQ(DataBitRole(outputs, 0), "");
    outputs[0].output = OutputKind::StepDir;
    outputs[1].output = OutputKind::StepDir;
    EXPECT_EQ(DataBitRole(outputs, 0), "STEP 1");
    EXPECT_EQ(DataBitRole(outputs, 1), "DIR 1, DIR 2"); // shared: DIR alone moves nothing
    EXPECT_EQ(DataBitRole(outputs, 3), "ENABLE 2");
    EXPECT_EQ(DataBitRole(outputs, 5), "STEP 2");
    EXPECT_EQ(DataBitRole(outputs, 4), "");
}
