#include "vna/VnaSettings.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vna;

namespace {

struct VnaSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("Ventrolo.ini");

    VnaSettings read(const QByteArray& contents) {
        test_support::WriteFile(path, contents);
        return ReadVnaSettings(path);
    }
};

} // namespace

TEST_F(VnaSettingsTest, missingKeys_addedWithTheirDefaults_noVnaUntilAPortIsNamed) {
    const VnaSettings settings = read("[rig]\nlink=serial\n");
    EXPECT_TRUE(settings.port.isEmpty());
    EXPECT_EQ(settings.dialect, Dialect::Auto);
    EXPECT_EQ(test_support::ReadFile(path),
              "[rig]\nlink=serial\n\n[vna]\n"
              "port= ; the VNA's serial device (/dev/ttyACM0), or simulated; blank: none\n"
              "dialect=auto ; auto, shell (NanoVNA, -H, -H4) or v2 (NanoVNA V2, LiteVNA)\n"
              "backlash=0 ; steps of play in the simulated loop's drive\n");
}

TEST_F(VnaSettingsTest, valuesRead_unusableOnesNamedAndTheirDefaultsTaken) {
    const VnaSettings simulated = read("[vna]\nport=simulated\ndialect=V2\nbacklash=6\n");
    EXPECT_TRUE(simulated.simulated());
    EXPECT_EQ(simulated.dialect, Dialect::V2);
    EXPECT_EQ(simulated.simulatedBacklash, 6);
    EXPECT_TRUE(simulated.problem.isEmpty());

    core::SettingsReport report;
    test_support::WriteFile(path, "[vna]\nport=/dev/ttyACM0\ndialect=smith\nbacklash=-3\n");
    const VnaSettings bad = ReadVnaSettings(path, &report);
    EXPECT_EQ(bad.port, "/dev/ttyACM0");
    EXPECT_EQ(bad.dialect, Dialect::Auto);
    EXPECT_EQ(bad.simulatedBacklash, 0);
    EXPECT_EQ(bad.problem, path + ": [vna] dialect=smith, backlash=-3 cannot be used; the default "
                                  "is taken (dialect=auto, backlash=0).");
    EXPECT_EQ(report.unused().size(), 2u);
}
