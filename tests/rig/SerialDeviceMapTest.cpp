#include "rig/SerialDeviceMap.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using rig::SerialDeviceMap;

namespace {

void WriteIni(const QTemporaryDir& dir, const QByteArray& contents) {
    QFile file(dir.filePath("Ventrolo.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

} // namespace

TEST(SerialDeviceMap, firstRun_writesTheDefaultsAndKeepsOtherGroups) {
    QTemporaryDir dir;
    WriteIni(dir, "[lpt]\nbackend=sim\n");
    const SerialDeviceMap map = SerialDeviceMap::Load(dir.path());
    EXPECT_EQ(map.devicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.devicePath(2), "/dev/ttyUSB1");
    EXPECT_EQ(map.devicePath(3), "/dev/ttyS0");
    EXPECT_EQ(map.devicePath(4), "/dev/ttyS1");
    EXPECT_EQ(map.devicePath(0), "");
    EXPECT_EQ(map.devicePath(5), "");

    const QSettings ini(dir.filePath("Ventrolo.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("serial/COM3").toString(), "/dev/ttyS0");
    EXPECT_EQ(ini.value("lpt/backend").toString(), "sim");
}

TEST(SerialDeviceMap, theUsersDevicesAreUsed) {
    QTemporaryDir dir;
    WriteIni(dir, "[serial]\nCOM2=/dev/pts/7\nCOM4=  \n");
    const SerialDeviceMap map = SerialDeviceMap::Load(dir.path());
    EXPECT_EQ(map.devicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.devicePath(2), "/dev/pts/7");
    EXPECT_EQ(map.devicePath(4), "/dev/ttyS1"); // an empty entry falls back to the default
}
