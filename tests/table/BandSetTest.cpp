// Band sets: which table (and which loop's stepper) a frequency belongs to, the tables read
// from their files, and the sets kept in Ventrolo.ini.
#include "table/BandSet.h"

#include "core/SettingsFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using table::BandChoice;
using table::BandTable;
using table::ChooseBand;

const BandTable M40{QStringLiteral("\\40m.cat"), 7000, 7200};
const BandTable M20{QStringLiteral("\\20m.cat"), 14000, 14350};
const BandTable M20Wide{QStringLiteral("\\20mwide.cat"), 13500, 14500};
const BandTable M80{QStringLiteral("\\80m.cat"), 3500, 3800};

QByteArray Table(const QByteArray& header, const QByteArray& rows) {
    return "\"Ventrolo.Version 1.24\"\r\n0,500,\"" + header + "\"\r\n" + rows;
}

struct BandSetFiles : ::testing::Test {
    QTemporaryDir dir;
    QString ini() const { return dir.filePath("Ventrolo.ini"); }
    void write(const QString& name, const QByteArray& bytes) {
        test_support::WriteFile(dir.filePath(name), bytes);
    }
};

} // namespace

TEST(ChooseBandTest, theOpenTableOrNoTableOfTheSetsCoveringTheFrequencyChangesNothing) {
    const std::array<std::vector<BandTable>, 2> sets{{{M40, M20}, {M80}}};
    EXPECT_EQ(ChooseBand(7100, true, 0, sets), std::nullopt);
    EXPECT_EQ(ChooseBand(10100, false, 0, sets), std::nullopt);
    EXPECT_EQ(ChooseBand(0, false, 0, sets), std::nullopt); // no reading
    // The edges of a table belong to it.
    EXPECT_EQ(ChooseBand(14350, false, 0, sets), (BandChoice{0, M20.name}));
    EXPECT_EQ(ChooseBand(14350.5f, false, 0, sets), std::nullopt);
}

TEST(ChooseBandTest, anotherTableOfTheWorkingSetIsTakenFirst_theOtherLoopOnlyWhenBothHoldSets) {
    // Stepper 2 works: its own set is asked first, whatever stepper 1's set holds.
    const std::array<std::vector<BandTable>, 2> both{{{M40, M20Wide}, {M80, M20}}};
    EXPECT_EQ(ChooseBand(14200, false, 1, both), (BandChoice{1, M20.name}));
    EXPECT_EQ(ChooseBand(14200, false, 0, both), (BandChoice{0, M20Wide.name}));
    // Only the other loop covers it: that stepper becomes the working one.
    EXPECT_EQ(ChooseBand(7100, false, 1, both), (BandChoice{0, M40.name}));
    EXPECT_EQ(ChooseBand(3600, false, 0, both), (BandChoice{1, M80.name}));
    // One stepper without a set is no second loop: it is neither switched to nor away from.
    const std::array<std::vector<BandTable>, 2> onlySecond{{{}, {M20}}};
    EXPECT_EQ(ChooseBand(14200, false, 0, onlySecond), std::nullopt);
    const std::array<std::vector<BandTable>, 2> onlyFirst{{{M40}, {}}};
    EXPECT_EQ(ChooseBand(7100, false, 1, onlyFirst), std::nullopt);
    // Overlapping tables of one set: the first in the set's order.
    const std::array<std::vector<BandTable>, 2> overlap{{{M20Wide, M20}, {}}};
    EXPECT_EQ(ChooseBand(14200, false, 0, overlap), (BandChoice{0, M20Wide.name}));
}

TEST_F(BandSetFiles, aSoundTableGivesItsRange_missingAndDamagedTablesAreSkipped) {
    // Rows out of order in the file still give the first and last frequency.
    write("20m.cat", Table("0:200:5", "14350,450,\"\"\r\n14000,400,\"\"\r\n14200,420,\"\"\r\n"));
    write("old.cat", "\"Ventrolo.Version 1.10\"\r\n0,500,\"0:200:0\"\r\n7000,100,\"\"\r\n");
    write("garbled.cat", "\"Ventrolo.Version 1.24\"\r\n");
    write("empty.cat", Table("0:200:0", ""));
    const std::optional<BandTable> m20 = table::ReadBandTable(dir.path(), "\\20m.cat");
    ASSERT_TRUE(m20);
    EXPECT_FLOAT_EQ(m20->lowest, 14000);
    EXPECT_FLOAT_EQ(m20->highest, 14350);
    for (const char* name : {"\\missing.cat", "\\old.cat", "\\garbled.cat", "\\empty.cat"}) {
        QString why;
        EXPECT_FALSE(table::ReadBandTable(dir.path(), name, &why)) << name;
        EXPECT_FALSE(why.isEmpty()) << name;
    }

    write("Ventrolo.ini", "[stepper1]\nbandset=missing.cat,20m.cat,garbled.cat\n");
    table::BandSets sets(dir.path());
    sets.Load();
    const std::vector<BandTable> tables = sets.Tables(0);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].name, "\\20m.cat");
    EXPECT_EQ(sets.Choose(14100, false, 0), (BandChoice{0, "\\20m.cat"}));
    // A table that can be read again is used again.
    write("garbled.cat", Table("0:200:0", "21000,100,\"\"\r\n21450,200,\"\"\r\n"));
    EXPECT_EQ(sets.Choose(21200, false, 0), (BandChoice{0, "\\garbled.cat"}));
}

TEST_F(BandSetFiles, aTickedSetIsStoredPerStepperAndReadBack_besideTheGroupsOtherKeys) {
    write("Ventrolo.ini", "[stepper1]\noutput=phase ; the coil code\nmicrosteps=1\n");
    table::BandSets sets(dir.path());
    sets.Load();
    ASSERT_TRUE(sets.Toggle(0, "\\40m.cat"));
    ASSERT_TRUE(sets.Toggle(0, "\\20m.cat"));
    ASSERT_TRUE(sets.Toggle(1, "\\80m.cat"));
    ASSERT_TRUE(sets.Toggle(0, "\\40m.cat")); // ticked out again
    ASSERT_TRUE(sets.Toggle(0, "\\40m.cat"));

    table::BandSets again(dir.path());
    core::SettingsReport report;
    again.Load(&report);
    EXPECT_EQ(again.names(0), QStringList({"\\20m.cat", "\\40m.cat"}));
    EXPECT_EQ(again.names(1), QStringList({"\\80m.cat"}));
    EXPECT_TRUE(report.isEmpty());
    const QByteArray text = test_support::ReadFile(ini());
    EXPECT_TRUE(text.contains("output=phase ; the coil code")) << text.constData();
    EXPECT_TRUE(text.contains("bandset=20m.cat,40m.cat")) << text.constData();
    // The menu offers the files there are and the set's names that are not among them.
    EXPECT_EQ(again.MenuNames(0, {"\\20m.cat", "\\Table.cat"}),
              QStringList({"\\20m.cat", "\\Table.cat", "\\40m.cat"}));
}

TEST_F(BandSetFiles, aDamagedSetKeepsItsTableNamesAndIsReported_anUnwritableFileKeepsTheSet) {
    write("Ventrolo.ini", "[stepper1]\nbandset= 40m.cat , ../x.cat,20m,,15m.cat,40m.cat ; "
                          "a comment\n[stepper2]\nbandset=@Rect(1 2 3 4)\n");
    table::BandSets sets(dir.path());
    core::SettingsReport report;
    sets.Load(&report);
    EXPECT_EQ(sets.names(0), QStringList({"\\40m.cat", "\\15m.cat"}));
    EXPECT_TRUE(sets.names(1).isEmpty());
    ASSERT_EQ(report.unused().size(), 1u);
    EXPECT_EQ(report.unused()[0].key, "stepper1/bandset");
    EXPECT_EQ(report.unused()[0].kept, "40m.cat,15m.cat");

    // A directory where the settings file should be: the tick is refused, the set stays.
    QTemporaryDir blocked;
    QDir(blocked.path()).mkdir("Ventrolo.ini");
    table::BandSets stuck(blocked.path());
    stuck.Load();
    QString error;
    EXPECT_FALSE(stuck.Toggle(0, "\\40m.cat", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(stuck.names(0).isEmpty());
}

TEST_F(BandSetFiles, aSetOfNoTableFileName_isReportedAsWritten_andNoKeyIsAdded) {
    write("Ventrolo.ini", "[stepper2]\nbandset=20m.txt\n");
    table::BandSets sets(dir.path());
    core::SettingsReport report;
    sets.Load(&report);
    EXPECT_TRUE(sets.names(1).isEmpty());
    EXPECT_EQ(report.text(),
              ini() + ": [stepper2] bandset=20m.txt cannot be used; no band set is used instead.");
    EXPECT_EQ(test_support::ReadFile(ini()), "[stepper2]\nbandset=20m.txt\n");
}
