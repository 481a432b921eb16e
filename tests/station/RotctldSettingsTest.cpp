#include "station/RotctldSettings.h"

#include "station/IniText.h"
#include "station/StationTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace station;

namespace {

struct RotctldSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("Ventrolo.ini");

    // Writes the file and reads [rotctld] from it.
    RotctldSettings read(const QByteArray& contents) {
        station_test::WriteFile(path, contents);
        return ReadRotctldSettings(path);
    }
    QByteArray file() const { return station_test::ReadFile(path); }
};

} // namespace

TEST_F(RotctldSettingsTest, missingKeysAreAddedAndTheMenusChoiceIsStored_theUsersLinesStay) {
    read("; my station\r\n[rotctld]\r\nenabled = false   ; off until asked\r\n\r\n"
         "[serial]\r\nCOM1=/dev/ttyUSB0\r\n");
    ASSERT_TRUE(StoreRotctldEnabled(path, true));
    EXPECT_EQ(file(), "; my station\r\n[rotctld]\r\nenabled = true   ; off until asked\r\n"
                      "port=4533\r\naddress=127.0.0.1\r\n\r\n[serial]\r\nCOM1=/dev/ttyUSB0\r\n");
    EXPECT_TRUE(ReadRotctldSettings(path).enabled);
    // The last of two entries is the one read, and the one changed; a new group goes at the end.
    read("[lpt]\nbackend=sim\n[rotctld]\nenabled=on\n[rotctld]\nenabled=no\n");
    ASSERT_TRUE(StoreRotctldEnabled(path, true));
    EXPECT_EQ(file(), "[lpt]\nbackend=sim\n[rotctld]\nenabled=on\n[rotctld]\nenabled=true\n"
                      "port=4533\naddress=127.0.0.1\n");
}

TEST_F(RotctldSettingsTest, values_areReadOrKeepTheirDefaultsAndAreReported) {
    RotctldSettings settings = read("[rotctld]\nenabled=on\nport=4534\naddress=0.0.0.0\n");
    EXPECT_TRUE(settings.enabled);
    EXPECT_EQ(settings.port, 4534);
    EXPECT_EQ(settings.address, QHostAddress(QHostAddress::AnyIPv4));
    EXPECT_TRUE(settings.problem.isEmpty());

    settings = read("[rotctld]\nenabled=maybe\nport=70000\naddress=my.host\n");
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(settings.port, 4533);
    EXPECT_EQ(settings.address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_TRUE(settings.problem.contains("enabled=maybe, port=70000, address=my.host"));
}

TEST_F(RotctldSettingsTest, aFileThatWouldNotReadBackOrCannotBeWritten_isLeftAsItIs) {
    const QByteArray open = "[lpt]\nport888=\"/dev/parport0\n";
    read(open);
    QString error;
    EXPECT_FALSE(StoreRotctldEnabled(path, true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(file(), open);
    EXPECT_FALSE(SetIniValues(dir.filePath("no/such/dir/Ventrolo.ini"), "rotctld",
                              {{"enabled", "true"}}, &error));
}
