#include "station/RotctldSettings.h"

#include "station/IniText.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace station;

namespace {

struct RotctldSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("Ventrolo.ini");

    void write(const QByteArray& contents) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    QByteArray contents() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(RotctldSettingsTest, missingKeys_areAddedWithTheirDefaultsAndTheUsersLinesStay) {
    write("; my station\n[lpt]\nbackend=sim   ; no port here\n");
    const RotctldSettings settings = ReadRotctldSettings(path);
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(settings.port, 4533);
    EXPECT_EQ(settings.address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_TRUE(settings.problem.isEmpty());
    EXPECT_EQ(contents(), "; my station\n[lpt]\nbackend=sim   ; no port here\n\n[rotctld]\n"
                          "enabled=false\nport=4533\naddress=127.0.0.1\n");

    // Only what is missing, at the end of its group.
    write("[rotctld]\r\nport=4600\r\n\r\n[serial]\r\nCOM1=/dev/ttyUSB0\r\n");
    EXPECT_EQ(ReadRotctldSettings(path).port, 4600);
    EXPECT_EQ(contents(), "[rotctld]\r\nport=4600\r\nenabled=false\r\naddress=127.0.0.1\r\n\r\n"
                          "[serial]\r\nCOM1=/dev/ttyUSB0\r\n");
}

TEST_F(RotctldSettingsTest, theMenusChoice_replacesOnlyItsValue) {
    write("[rotctld]\nenabled = false   ; off until asked\nport=4533\n[rotctld]\nenabled=no\n");
    ASSERT_TRUE(StoreRotctldEnabled(path, true));
    // The last of two entries is the one read, and the one changed.
    EXPECT_EQ(contents(), "[rotctld]\nenabled = false   ; off until asked\nport=4533\n"
                          "[rotctld]\nenabled=true\n");
    EXPECT_TRUE(ReadRotctldSettings(path).enabled);

    QFile::remove(path);
    ASSERT_TRUE(StoreRotctldEnabled(path, true));
    EXPECT_EQ(contents(), "[rotctld]\nenabled=true\n");
}

TEST_F(RotctldSettingsTest, valuesThatCannotBeUsed_keepTheirDefaultsAndAreReported) {
    write("[rotctld]\nenabled=maybe\nport=70000\naddress=my.host\n");
    const RotctldSettings settings = ReadRotctldSettings(path);
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(settings.port, 4533);
    EXPECT_EQ(settings.address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_TRUE(settings.problem.contains("enabled=maybe, port=70000, address=my.host"));

    write("[rotctld]\nenabled=on\nport=4534\naddress=0.0.0.0\n");
    const RotctldSettings other = ReadRotctldSettings(path);
    EXPECT_TRUE(other.enabled);
    EXPECT_EQ(other.port, 4534);
    EXPECT_EQ(other.address, QHostAddress(QHostAddress::AnyIPv4));
    EXPECT_TRUE(other.problem.isEmpty());
}

TEST_F(RotctldSettingsTest, aFileThatWouldNotReadBack_isLeftAsItIs) {
    const QByteArray open = "[lpt]\nport888=\"/dev/parport0\n";
    write(open);
    QString error;
    EXPECT_FALSE(StoreRotctldEnabled(path, true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(contents(), open);
    EXPECT_FALSE(SetIniValues(dir.filePath("no/such/dir/Ventrolo.ini"), "rotctld",
                              {{"enabled", "true"}}, &error));
}
