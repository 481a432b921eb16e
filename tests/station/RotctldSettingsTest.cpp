#include "station/RotctldSettings.h"

#include "station/StationTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace station;

namespace {

struct RotctldSettingsTest : ::testing::Test {
    station_test::Dir dir;
    QString path = dir.filePath("Ventrolo.ini");

    // Writes the file and reads [rotctld] from it.
    RotctldSettings read(const QByteArray& contents) {
        dir.write("Ventrolo.ini", contents);
        return ReadRotctldSettings(path);
    }
    QByteArray file() const { return dir.file("Ventrolo.ini"); }
};

} // namespace

TEST_F(RotctldSettingsTest, missingKeysAreAddedWithTheirDefaults_andTheMenusChoiceIsStored) {
    read("[serial]\nCOM1=/dev/ttyUSB0\n[rotctld]\nport=4534\n");
    EXPECT_EQ(file(), "[serial]\nCOM1=/dev/ttyUSB0\n[rotctld]\nport=4534\n"
                      "enabled=false ; the rotator server (Edit, \"Rotator server (rotctld)\")\n"
                      "address=127.0.0.1 ; 0.0.0.0 to serve the whole network\n"
                      "park= ; azimuth in degrees a client's park turns to; blank: the lower "
                      "limit\n");
    // What was added reads back as its default and is not added again.
    const RotctldSettings added = ReadRotctldSettings(path);
    EXPECT_FALSE(added.enabled);
    EXPECT_EQ(added.address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_FALSE(added.parkAzimuth);
    EXPECT_TRUE(added.problem.isEmpty());
    ASSERT_TRUE(StoreRotctldEnabled(path, true));
    EXPECT_TRUE(ReadRotctldSettings(path).enabled);
    EXPECT_EQ(file().count("park="), 1);
}

TEST_F(RotctldSettingsTest, parkAzimuth_isReadInDegrees_andOneThatIsNoNumberIsReportedAndIgnored) {
    EXPECT_EQ(read("[rotctld]\npark=-12.5\n").parkAzimuth, -12.5);
    EXPECT_EQ(read("[rotctld]\npark = 180 ; south\n").parkAzimuth, 180);
    // Each of its own length: QSettings reads a file again only when its size or time changed.
    for (const QByteArray& bad :
         {QByteArray("north"), QByteArray("1,5"), QByteArray("-inf"), QByteArray("90 degrees")}) {
        dir.write("Ventrolo.ini", "[rotctld]\npark=" + bad + '\n');
        core::SettingsReport report;
        const RotctldSettings settings = ReadRotctldSettings(path, &report);
        EXPECT_FALSE(settings.parkAzimuth) << bad.toStdString();
        EXPECT_TRUE(settings.problem.contains("park=" + bad)) << settings.problem.toStdString();
        ASSERT_EQ(report.unused().size(), 1u);
        EXPECT_EQ(report.unused().front().kept, "the lower limit");
    }
}

TEST_F(RotctldSettingsTest, badValues_keepTheirDefaultsAndAreReported) {
    const RotctldSettings settings =
        read("[rotctld]\nenabled=maybe\nport=70000\naddress=my.host\n");
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
    EXPECT_FALSE(StoreRotctldEnabled(dir.filePath("no/such/dir/Ventrolo.ini"), true, &error));
}

TEST_F(RotctldSettingsTest, valuesAreRead_evenWithASectionSortingInsideTheGroup_andNothingIsAdded) {
    // A section named like a group inside [rotctld], whole or with its header damaged, sorts
    // between [rotctld] and its keys: QSettings' own lookup missed enabled and port then, so the
    // user's values were ignored (and taken as missing) at every start.
    for (const QByteArray& after :
         {QByteArray(), QByteArray("[rotctld/dev/ttyS1\n"), QByteArray("[rotctld/a]\n"),
          QByteArray("[rotctld/ea\nx=1\n")}) {
        SCOPED_TRACE(after.toStdString());
        const QByteArray hand =
            "[rotctld]\nenabled=on\nport=4534\naddress=0.0.0.0\npark=\n" + after;
        const RotctldSettings settings = read(hand);
        EXPECT_TRUE(settings.enabled);
        EXPECT_EQ(settings.port, 4534);
        EXPECT_EQ(settings.address, QHostAddress(QHostAddress::AnyIPv4));
        EXPECT_TRUE(settings.problem.isEmpty());
        EXPECT_EQ(file(), hand);
        ASSERT_TRUE(StoreRotctldEnabled(path, false));
        EXPECT_FALSE(ReadRotctldSettings(path).enabled);
    }
}
