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
