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

TEST(SerialDeviceMap, aHandEditedFile_keepsEveryLineAndAPathWithACommaIsUsedAsWritten) {
    QTemporaryDir dir;
    const QByteArray hand =
        "; the rig's adapter\n[serial]\nCOM1=/dev/serial/by-id/usb-a,_b-port0\n";
    WriteIni(dir, hand);
    EXPECT_EQ(SerialDeviceMap::Load(dir.path()).devicePath(1), "/dev/serial/by-id/usb-a,_b-port0");
    QFile file(dir.filePath("Ventrolo.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.startsWith(hand)); // COM2..COM4 added after it
    file.close();

    const SerialDeviceMap again = SerialDeviceMap::Load(dir.path());
    EXPECT_EQ(again.devicePath(1), "/dev/serial/by-id/usb-a,_b-port0");
    EXPECT_EQ(again.devicePath(4), "/dev/ttyS1");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), written); // complete now: not written again
}
