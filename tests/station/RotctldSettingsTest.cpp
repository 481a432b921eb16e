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

    // Writes the file, reads [rotctld] and returns what the file holds then.
    QByteArray read(const QByteArray& contents, RotctldSettings* settings = nullptr) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        f.close();
        const RotctldSettings read = ReadRotctldSettings(path);
        if (settings)
            *settings = read;
        return file();
    }
    QByteArray file() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(RotctldSettingsTest, missingKeys_areAddedAtTheEndOfTheirGroupAndTheUsersLinesStay) {
    EXPECT_EQ(read("; my station\n[lpt]\nbackend=sim   ; no port here\n"),
              "; my station\n[lpt]\nbackend=sim   ; no port here\n\n[rotctld]\n"
              "enabled=false\nport=4533\naddress=127.0.0.1\n");
    EXPECT_EQ(read("[rotctld]\r\nport=4600\r\n\r\n[serial]\r\nCOM1=/dev/ttyUSB0\r\n"),
              "[rotctld]\r\nport=4600\r\nenabled=false\r\naddress=127.0.0.1\r\n\r\n"
              "[serial]\r\nCOM1=/dev/ttyUSB0\r\n");
}

TEST_F(RotctldSettingsTest, theMenusChoice_replacesOnlyItsValue) {
    read("[rotctld]\nenabled = false   ; off until asked\nport=4533\n[rotctld]\nenabled=no\n");
    ASSERT_TRUE(StoreRotctldEnabled(path, true));
    // The last of two entries is the one read, and the one changed.
    EXPECT_EQ(file(), "[rotctld]\nenabled = false   ; off until asked\nport=4533\n"
                      "[rotctld]\nenabled=true\naddress=127.0.0.1\n");
    EXPECT_TRUE(ReadRotctldSettings(path).enabled);
}

TEST_F(RotctldSettingsTest, values_areReadOrKeepTheirDefaultsAndAreReported) {
    RotctldSettings settings;
    read("[rotctld]\nenabled=on\nport=4534\naddress=0.0.0.0\n", &settings);
    EXPECT_TRUE(settings.enabled);
    EXPECT_EQ(settings.port, 4534);
    EXPECT_EQ(settings.address, QHostAddress(QHostAddress::AnyIPv4));
    EXPECT_TRUE(settings.problem.isEmpty());

    read("[rotctld]\nenabled=maybe\nport=70000\naddress=my.host\n", &settings);
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(settings.port, 4533);
    EXPECT_EQ(settings.address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_TRUE(settings.problem.contains("enabled=maybe, port=70000, address=my.host"));
}

TEST_F(RotctldSettingsTest, aFileThatWouldNotReadBackOrCannotBeWritten_isLeftAsItIs) {
    const QByteArray open = "[lpt]\nport888=\"/dev/parport0\n";
    EXPECT_EQ(read(open), open);
    QString error;
    EXPECT_FALSE(StoreRotctldEnabled(path, true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(file(), open);
    EXPECT_FALSE(SetIniValues(dir.filePath("no/such/dir/Ventrolo.ini"), "rotctld",
                              {{"enabled", "true"}}, &error));
}
