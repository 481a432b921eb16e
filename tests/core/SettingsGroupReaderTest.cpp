#include "core/SettingsGroupReader.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace core;

namespace {

enum class Shape { Round, Square };

struct SettingsGroupReaderTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("Ventrolo.ini");
    SettingsReport report;

    void write(const QByteArray& contents) { test_support::WriteFile(path, contents); }
    QByteArray read() { return test_support::ReadFile(path); }
    // "key=found -> kept" of each value reported.
    QStringList reported() const {
        QStringList lines;
        for (const UnusedSetting& u : report.unused())
            lines << u.key + '=' + u.found + " -> " + u.kept;
        return lines;
    }
};

} // namespace

TEST_F(SettingsGroupReaderTest, usableValues_areTaken_asUsersWriteThem) {
    write("[g]\n"
          "count = 7 \n"
          "on=YES\n"
          "shape= square\n"
          "host=[::1]:4533\n"
          "ids=a, ,b,\n"
          "path=/dev/ttyUSB0\n");
    SettingsGroupReader group(path, "g", &report);
    int count = 1;
    bool on = false;
    Shape shape = Shape::Round;
    QString host = "localhost";
    QStringList ids{"x"};
    QString device = "/dev/ttyS0";
    EXPECT_TRUE(group.integer("count", count, 1, 10));
    EXPECT_TRUE(group.boolean("on", on));
    EXPECT_TRUE(group.choice("shape", shape, {{"round", Shape::Round}, {"square", Shape::Square}}));
    EXPECT_TRUE(group.host("host", host)); // the port there is not the host's
    EXPECT_TRUE(group.list("ids", ids));
    EXPECT_TRUE(group.text("path", device));
    EXPECT_EQ(count, 7);
    EXPECT_TRUE(on);
    EXPECT_EQ(shape, Shape::Square);
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(ids, (QStringList{"a", "b"}));
    EXPECT_EQ(device, "/dev/ttyUSB0");
    EXPECT_TRUE(report.isEmpty());
    EXPECT_TRUE(group.unusable().isEmpty());
}

TEST_F(SettingsGroupReaderTest, damagedAndOutOfRangeValues_keepTheDefault_andAreReported) {
    write("[g]\n"
          "low=0\n"
          "high=11\n"
          "word=seven\n"
          "on=maybe\n"
          "shape=oval\n"
          "host=two words\n"
          "ids=,,\n"
          "blank=\n");
    SettingsGroupReader group(path, "g", &report);
    int low = 1, high = 1, word = 1, blank = 1;
    bool on = true;
    Shape shape = Shape::Round;
    QString host = "localhost";
    QStringList ids{"x", "y"};
    EXPECT_FALSE(group.integer("low", low, 1, 10));
    EXPECT_FALSE(group.integer("high", high, 1, 10));
    EXPECT_FALSE(group.integer("word", word, 1, 10, {}, "one"));
    EXPECT_FALSE(group.boolean("on", on));
    EXPECT_FALSE(
        group.choice("shape", shape, {{"round", Shape::Round}, {"square", Shape::Square}}));
    EXPECT_FALSE(group.host("host", host));
    EXPECT_FALSE(group.list("ids", ids));
    EXPECT_FALSE(group.integer("blank", blank, 1, 10)); // blank is no number
    EXPECT_EQ(low + high + word + blank, 4);
    EXPECT_TRUE(on);
    EXPECT_EQ(shape, Shape::Round);
    EXPECT_EQ(host, "localhost");
    EXPECT_EQ(ids, (QStringList{"x", "y"}));
    EXPECT_EQ(reported(), (QStringList{"g/low=0 -> 1", "g/high=11 -> 1", "g/word=seven -> one",
                                       "g/on=maybe -> true", "g/shape=oval -> round",
                                       "g/host=two words -> localhost", "g/ids=(none) -> x,y",
                                       "g/blank= -> 1"}));
    EXPECT_EQ(group.unusable(),
              (QStringList{"low=0", "high=11", "word=seven", "on=maybe", "shape=oval",
                           "host=two words", "ids=(none)", "blank="}));
    // Nothing is missing: the file is left as the user wrote it.
    const QByteArray before = read();
    QString error;
    EXPECT_TRUE(group.addMissing(&error));
    EXPECT_EQ(read(), before);
}

TEST_F(SettingsGroupReaderTest, blankValues_keepTheDefaultUnreported_whenTheGroupSaysSo) {
    write("[g]\nport=\nshape=\n");
    SettingsGroupReader group(path, "g", &report, SettingsGroupReader::Blank::KeepsDefault);
    int port = 4532;
    Shape shape = Shape::Square;
    EXPECT_FALSE(group.integer("port", port, 1, 65535));
    EXPECT_FALSE(
        group.choice("shape", shape, {{"round", Shape::Round}, {"square", Shape::Square}}));
    EXPECT_EQ(port, 4532);
    EXPECT_EQ(shape, Shape::Square);
    EXPECT_TRUE(report.isEmpty());
    QString error;
    EXPECT_TRUE(group.addMissing(&error));
    EXPECT_EQ(read(), "[g]\nport=\nshape=\n"); // there, only blank: not added
}

TEST_F(SettingsGroupReaderTest, blankValues_areMissing_whenTheGroupSaysSo) {
    write("[g]\nport=\nshape=@Rect(1 2 3 4)\n");
    SettingsGroupReader group(path, "g", &report, SettingsGroupReader::Blank::Missing);
    int port = 4532;
    Shape shape = Shape::Square;
    EXPECT_FALSE(group.integer("port", port, 1, 65535));
    EXPECT_FALSE(
        group.choice("shape", shape, {{"round", Shape::Round}, {"square", Shape::Square}}));
    EXPECT_EQ(port, 4532);
    EXPECT_TRUE(report.isEmpty());
    QString error;
    ASSERT_TRUE(group.appendMissing({}, &error)) << error.toStdString();
    EXPECT_EQ(read(), "[g]\nport=\nshape=@Rect(1 2 3 4)\n\n[g]\nport=4532\nshape=square\n");
}

TEST_F(SettingsGroupReaderTest, missingKeys_areAddedWithTheirDefaultAndNote_intoTheGroup) {
    write("; mine\n[g]\nkept=1   ; as I like it\n\n[other]\nx=1\n");
    {
        SettingsGroupReader group(path, "g", &report);
        int kept = 5, added = 42;
        bool on = false;
        Shape shape = Shape::Square;
        QString device = "/dev/parport0";
        EXPECT_TRUE(group.integer("kept", kept, 0, 9));
        EXPECT_FALSE(group.integer("added", added, 0, 99, "how many"));
        EXPECT_FALSE(group.boolean("on", on, "switch"));
        EXPECT_FALSE(
            group.choice("shape", shape, {{"round", Shape::Round}, {"square", Shape::Square}}));
        EXPECT_FALSE(group.text("device", device));
        EXPECT_EQ(added, 42);
        QString error;
        ASSERT_TRUE(group.addMissing(&error)) << error.toStdString();
    }
    EXPECT_EQ(read().toStdString(),
              "; mine\n[g]\nkept=1   ; as I like it\nadded=42 ; how many\non=false ; "
              "switch\nshape=square\ndevice=/dev/parport0\n\n[other]\nx=1\n");
    EXPECT_TRUE(report.isEmpty());
}

TEST_F(SettingsGroupReaderTest, aBlankText_isMissing_andAppendedAsAGroupOfItsOwn) {
    write("[g]\ndevice=\n");
    SettingsGroupReader group(path, "g", &report);
    QString device = "/dev/parport0";
    EXPECT_FALSE(group.text("device", device));
    QString error;
    ASSERT_TRUE(group.appendMissing({"where the port is"}, &error)) << error.toStdString();
    EXPECT_EQ(read(), "[g]\ndevice=\n\n[g]\n; where the port is\ndevice=/dev/parport0\n");
    EXPECT_TRUE(report.isEmpty());
}

TEST(ParseHostPort, takesNamesAddressesAndPorts_refusesTheRest) {
    EXPECT_EQ(ParseHostPort("rig.local", 4532)->port, 4532);
    EXPECT_EQ(ParseHostPort(" 10.0.0.2:7362 ", 1)->host, "10.0.0.2");
    EXPECT_EQ(ParseHostPort("[fe80::1]:12345", 1)->port, 12345);
    for (const char* bad : {"", "a b", "host:0", "host:65536", "::1", "host:"})
        EXPECT_FALSE(ParseHostPort(bad, 1)) << bad;
}
