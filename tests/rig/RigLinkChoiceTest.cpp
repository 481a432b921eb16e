#include "rig/RigLinkChoice.h"

#include "rig/QtSerialLink.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;

TEST(RigLinkChoiceTest, theChoiceIsKeptInVentroloIniWithEveryOtherLineAsWritten) {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    QtSerialLink serial{dir.path()};
    SimulatedRig simulated{platform};
    CatControl cat{state, platform, log, serial};
    const QString ini = dir.filePath("Ventrolo.ini");
    test_support::WriteFile(ini, "[serial]\nCOM1=/dev/ttyUSB3\n[rig]\nlink=carrier pigeon\n");
    RigLinkChoice links{dir.path(), cat, serial, simulated};
    links.Load();
    EXPECT_FALSE(links.simulated());
    ASSERT_TRUE(links.Choose(RigLinkChoice::Link::Simulated));
    state.RigModel = 2;
    ASSERT_TRUE(cat.OpenPort(1).ok); // the simulated rig answers now
    EXPECT_TRUE(simulated.isOpen());
    RigLinkChoice again{dir.path(), cat, serial, simulated};
    again.Load();
    EXPECT_TRUE(again.simulated());
    EXPECT_EQ(test_support::ReadFile(ini), "[serial]\nCOM1=/dev/ttyUSB3\n[rig]\nlink=simulated\n");
}

TEST(RigLinkChoiceTest, theCivAndKenwoodGroupsAreReadWithTheModelsDefaults_andBadValuesReported) {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    QtSerialLink serial{dir.path()};
    SimulatedRig simulated{platform};
    CatControl cat{state, platform, log, serial};
    const QString ini = dir.filePath("Ventrolo.ini");
    RigLinkChoice links{dir.path(), cat, serial, simulated};

    // The model's own address unless one is given.
    test_support::WriteFile(ini, "[rig]\nlink=civ\n[civ]\nmodel=ic-9700\n");
    links.Load();
    EXPECT_TRUE(links.civ());
    EXPECT_EQ(links.civSettings(), (CivSettings{"IC-9700", 0xA2, 19200}));
    test_support::WriteFile(ini, "[rig]\nlink=civ\n[civ]\nmodel=IC-705\naddress=0x5c\nbaud=9600\n");
    links.Load();
    EXPECT_EQ(links.civSettings(), (CivSettings{"IC-705", 0x5C, 9600}));

    // An unknown model, a controller's address, a baud rate no rig has: each noted.
    test_support::WriteFile(ini, "[rig]\nlink=civ\n[civ]\nmodel=IC-999\naddress=E0\nbaud=1234\n");
    core::SettingsReport report;
    links.Load(&report);
    EXPECT_EQ(links.civSettings(), CivSettings{});
    EXPECT_EQ(report.unused().size(), 3u);
    EXPECT_TRUE(report.text().contains("[civ] address=E0 cannot be used; 94 is used instead."))
        << report.text().toStdString();

    // A choice is kept with its settings.
    ASSERT_TRUE(links.ChooseCiv({"IC-7610", 0x98, 19200}));
    RigLinkChoice again{dir.path(), cat, serial, simulated};
    again.Load();
    EXPECT_EQ(again.civSettings(), (CivSettings{"IC-7610", 0x98, 19200}));

    // The Kenwood family the same way; without a baud rate the model's own.
    test_support::WriteFile(ini, "[rig]\nlink=kenwood\n[kenwood]\nmodel=ts-2000\nbaud=fast\n");
    core::SettingsReport kenwoodReport;
    links.Load(&kenwoodReport);
    EXPECT_TRUE(links.kenwood());
    EXPECT_EQ(links.kenwoodSettings(), (KenwoodSettings{"TS-2000", 0}));
    EXPECT_TRUE(kenwoodReport.text().contains("[kenwood] baud=fast cannot be used; 9600 is used"))
        << kenwoodReport.text().toStdString();
    ASSERT_TRUE(links.ChooseKenwood({"FTDX10", 38400}));
    again.Load();
    EXPECT_EQ(again.kenwoodSettings(), (KenwoodSettings{"FTDX10", 38400}));
}
