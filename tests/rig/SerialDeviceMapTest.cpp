#include "rig/SerialDeviceMap.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using rig::SerialDeviceMap;
using test_support::ReadFile;
using test_support::WriteFile;

TEST(SerialDeviceMap, missingOrEmptyEntriesGetTheDefaultsWrittenBeside_theUsersAreUsed) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Ventrolo.ini");
    WriteFile(ini, "[lpt]\nbackend=sim\n[serial]\nCOM2=/dev/pts/7\nCOM4=  \n");
    const SerialDeviceMap map = SerialDeviceMap::Load(dir.path());
    EXPECT_EQ(map.devicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.devicePath(2), "/dev/pts/7");
    EXPECT_EQ(map.devicePath(3), "/dev/ttyS0");
    EXPECT_EQ(map.devicePath(4), "/dev/ttyS1"); // an empty entry falls back to the default
    EXPECT_EQ(map.devicePath(0), "");
    EXPECT_EQ(map.devicePath(5), "");
    const QByteArray written = ReadFile(ini);
    EXPECT_TRUE(written.contains("backend=sim"));
    EXPECT_TRUE(written.contains("COM3=/dev/ttyS0"));
}

TEST(SerialDeviceMap, aHandEditedFile_keepsEveryLineAndAPathWithACommaIsUsedAsWritten) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Ventrolo.ini");
    const QByteArray hand =
        "; the rig's adapter\n[serial]\nCOM1=/dev/serial/by-id/usb-a,_b-port0\n";
    WriteFile(ini, hand);
    EXPECT_EQ(SerialDeviceMap::Load(dir.path()).devicePath(1), "/dev/serial/by-id/usb-a,_b-port0");
    const QByteArray written = ReadFile(ini);
    EXPECT_TRUE(written.startsWith(hand)); // COM2..COM4 added after it

    const SerialDeviceMap again = SerialDeviceMap::Load(dir.path());
    EXPECT_EQ(again.devicePath(1), "/dev/serial/by-id/usb-a,_b-port0");
    EXPECT_EQ(again.devicePath(4), "/dev/ttyS1");
    EXPECT_EQ(ReadFile(ini), written); // complete now: not written again
}
