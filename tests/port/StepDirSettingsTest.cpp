#include "port/StepDirSettings.h"

#include "support/QtPrinters.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace port;

namespace {

struct StepDirSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString file = dir.filePath("Ventrolo.ini");

    void write(const QByteArray& text) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray contents() {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
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

TEST_F(StepDirSettingsTest, stepDirAndEnableOnOneBit_areReportedAndAllThreeTakeTheirDefaults) {
    // Stepper 2's STEP on its default ENABLE line: it would step whenever the driver is enabled.
    write("[stepper2]\noutput=stepdir\nstep=D3\ndir=D7\n");
    core::SettingsReport report;
    const StepDirSettings s = ReadStepperOutputs(file, &report)[1];
    EXPECT_EQ(s.stepBit, 0);
    EXPECT_EQ(s.dirBit, 1);
    EXPECT_EQ(s.enableBit, 3);
    ASSERT_EQ(report.unused().size(), 2u);
    EXPECT_EQ(report.unused()[0].key, "stepper2/step");
    EXPECT_EQ(report.unused()[0].found, "D3 (also enable)");
    EXPECT_EQ(report.unused()[1].key, "stepper2/enable");
    EXPECT_EQ(report.unused()[1].kept, "D3");
}

TEST(DataBitRole, namesWhatEachStepDirStepperUsesABitFor) {
    StepperOutputs outputs = DefaultStepperOutputs();
    EXPECT_EQ(DataBitRole(outputs, 0), "");
    outputs[0].output = OutputKind::StepDir;
    outputs[1].output = OutputKind::StepDir;
    EXPECT_EQ(DataBitRole(outputs, 0), "STEP 1, STEP 2"); // shared, as the coil lines are
    EXPECT_EQ(DataBitRole(outputs, 3), "ENABLE 2");
    EXPECT_EQ(DataBitRole(outputs, 5), "");
}
