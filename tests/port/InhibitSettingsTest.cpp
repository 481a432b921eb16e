#include "port/InhibitSettings.h"

#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace port;

namespace {

struct InhibitSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString file = dir.filePath("Ventrolo.ini");

    void write(const QByteArray& text) { test_support::WriteFile(file, text); }
    std::vector<QString> told(const StepperOutputs& outputs = DefaultStepperOutputs()) {
        core::SettingsReport report;
        read = ReadInhibitSettings(file, outputs, &report);
        std::vector<QString> lines;
        for (const core::UnusedSetting& u : report.unused())
            lines.push_back(u.key + "=" + u.found + " -> " + u.kept);
        return lines;
    }
    InhibitSettings read;
};

} // namespace

TEST_F(InhibitSettingsTest, noLineByDefault_theKeysAreAddedForTheUserToFind) {
    write("[lpt]\nbackend=sim\n");
    EXPECT_TRUE(told().empty());
    EXPECT_EQ(read, InhibitSettings{});
    EXPECT_FALSE(read.bit);
    EXPECT_EQ(read.applied(0x17, true), 0x17) << "no line: nothing changes on the port";
    const QSettings ini(file, QSettings::IniFormat);
    EXPECT_EQ(ini.value("inhibit/line").toString(), "none");
    EXPECT_EQ(ini.value("inhibit/active").toString(), "low");
    EXPECT_EQ(ini.value("inhibit/leadMs").toString(), "20");
    EXPECT_EQ(ini.value("inhibit/tailMs").toString(), "30");
}

TEST_F(InhibitSettingsTest, aFreeBitIsTheLine_atTheLevelThatInhibits) {
    write("[inhibit]\nline=d5\nactive=low\nleadMs=50\ntailMs=0\n");
    EXPECT_TRUE(told().empty());
    EXPECT_EQ(read.bit, 5);
    EXPECT_EQ(read.leadMs, 50);
    EXPECT_EQ(read.tailMs, 0);
    EXPECT_EQ(read.applied(0xFF, true), 0xDF);
    EXPECT_EQ(read.applied(0x00, false), 0x20);
    read.activeLow = false;
    EXPECT_EQ(read.applied(0x00, true), 0x20);
}

TEST_F(InhibitSettingsTest, aBitTheSteppersDrive_orAValueOutOfRange_isRefusedWithWhy) {
    write("[inhibit]\nline=D2\nactive=sideways\nleadMs=5000\n");
    EXPECT_EQ(told(), (std::vector<QString>{"inhibit/line=D2 (it carries the enable of stepper 1) "
                                            "-> none",
                                            "inhibit/active=sideways -> low",
                                            "inhibit/leadMs=5000 -> 20"}));
    EXPECT_FALSE(read.bit);
    write("[inhibit]\nline=D0\n");
    EXPECT_EQ(told(), (std::vector<QString>{"inhibit/line=D0 (it carries the coil code) -> none"}));

    // Stepper 2 as a step/dir driver has its STEP on D5 by default.
    StepperOutputs outputs = DefaultStepperOutputs();
    outputs[1].output = OutputKind::StepDir;
    write("[inhibit]\nline=D5\n");
    EXPECT_EQ(told(outputs), (std::vector<QString>{"inhibit/line=D5 (it carries STEP 2) -> none"}));
    write("[inhibit]\nline=D9\n");
    EXPECT_EQ(told(), (std::vector<QString>{"inhibit/line=D9 -> none"}));
}
