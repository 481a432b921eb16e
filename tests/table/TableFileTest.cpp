#include "TableTestSupport.h"
#include "table/TableFileName.h"

#include <QDir>
#include <QRandomGenerator>

using namespace table;
using table_test::TableFixture;

namespace {

// Written by hand: limits 0 and 500, type 1, 200 steps, no offset, and rows with a fraction, a
// float that needs eight digits, a comma in a description and an empty description.
const QByteArray HandWritten = "\"Ventrolo.Version 1.24\"\r\n"
                               "0,500,\"1:200:0\"\r\n"
                               "3500,120,\"80m\"\r\n"
                               "3502.5,121,\"80m, SSB\"\r\n"
                               "14250.125,300,\"\"\r\n";

} // namespace

using TableFile = TableFixture;

TEST_F(TableFile, savingALoadedTable_writesTheSameBytes) {
    load(HandWritten);
    ASSERT_EQ(data().TableLast, 3);
    EXPECT_EQ(data().TableText[2], "80m, SSB");
    EXPECT_EQ(data().InterpolType, 1);
    EXPECT_TRUE(platform.messages.empty());

    ASSERT_TRUE(table.SaveTable());
    EXPECT_EQ(readFile(), HandWritten);
    EXPECT_EQ(platform.beeps.size(), 1u);
}

TEST_F(TableFile, typedFractions_areWrittenAsTyped_andReadBackAsTheSameFloats) {
    load(HandWritten);
    addRow(7074.2, 200);  // a float of 7074.2001953125
    addRow(6725.38, 190); // as the VNA builder rounds a resonance
    addRow(14074.01, 310);
    ASSERT_TRUE(table.SaveTable());
    const QByteArray saved = readFile();
    EXPECT_TRUE(saved.contains("\r\n6725.38,190,"));
    EXPECT_TRUE(saved.contains("\r\n7074.2,200,"));
    EXPECT_TRUE(saved.contains("\r\n14074.01,310,"));
    EXPECT_TRUE(saved.contains("\r\n14250.125,300,"));

    const TableData before = data();
    table.LoadTable();
    ASSERT_EQ(data().TableLast, before.TableLast);
    for (int row = 1; row <= before.TableLast; ++row)
        EXPECT_EQ(data().TableFreq[row], before.TableFreq[row]) << row;
}

TEST_F(TableFile, otherVersion_asksAndNoLeavesTableEmptyAndFileUntouched) {
    QByteArray old = HandWritten;
    old.replace("1.24", "1.23");
    platform.answerNextMessage(platform::Answer::No);
    load(old);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Wrong version \\Table.cat\r\n still load it ?");
    EXPECT_EQ(platform.messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(data().TableLast, 0);
    EXPECT_EQ(readFile(), old);

    platform.answerNextMessage(platform::Answer::Yes);
    table.LoadTable();
    EXPECT_EQ(data().TableLast, 3);
    EXPECT_EQ(readFile(), HandWritten); // rewritten with the present version line

    QByteArray bare = HandWritten; // the version without the program's name passes unasked
    bare.replace("Ventrolo.", "");
    platform.messages.clear();
    load(bare);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(data().TableLast, 3);
}

TEST_F(TableFile, onlyTheVersionLine_givesAHeaderFromThePresentLimits) {
    state.MinPosition = 10;
    state.MaxPosition = 900;
    state.StepsPer360 = 400;
    load("\"Ventrolo.Version 1.24\"\r\n");
    EXPECT_EQ((std::vector<double>{double(data().TableLast), data().TableFreq[0],
                                   double(data().TablePos[0]), double(data().InterpolType),
                                   double(data().StepperOffset)}),
              (std::vector<double>{0, 10, 900, 1, 0}));
    EXPECT_EQ(data().TableText[0], "1: 400:0:.");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TableFile, damagedRows_areLeftOutAndNamedAndTheRestSortedWithTheFileKept) {
    const QByteArray damaged = "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                               "10100,400,30m\r\n"    // 3: no quotes
                               "abc,120,\"x\"\r\n"    // 4: no number
                               "3600,,\"y\"\r\n"      // 5: no position
                               "3700\r\n"             // 6: no position
                               "3500,100,\"80m\"\r\n" //
                               "3500,999,\"dup\"\r\n" // 8: a second row of one frequency
                               "7000,300,\"40m\r\n"   // 9: closing quote missing
                               "\r\n";                // blank
    load(damaged);
    EXPECT_EQ(model.ListLines(),
              QStringList({"001   3500 kHz   100   80m", "002   7000 kHz   300   40m",
                           "003   10100 kHz   400   30m"}));
    EXPECT_EQ(readFile(), damaged);
    EXPECT_FALSE(table.TableChanged());
    ASSERT_EQ(platform.messages.size(), 1u);
    const QString text = platform.messages[0].text;
    EXPECT_TRUE(text.startsWith("The table file " + path() + " is damaged:")) << text.toStdString();
    for (const char* line : {"line 3:", "line 4:", "line 5:", "line 6:", "line 8:", "line 9:"})
        EXPECT_TRUE(text.contains(line)) << line;
    EXPECT_FALSE(text.contains("line 7:"));
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Exclamation);
}

TEST_F(TableFile, moreThanAHundredRows_keepsTheFirstHundredAndSaysSo) {
    QByteArray bytes = "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n";
    for (int i = 1; i <= 105; ++i)
        bytes += QByteArray::number(1000 + i) + "," + QByteArray::number(i) + ",\"\"\r\n";
    load(bytes);
    EXPECT_EQ(data().TableLast, 100);
    EXPECT_EQ(data().TableFreq[100], 1100);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("5 rows from line 103 on were not loaded"));
}

TEST_F(TableFile, damagedHeader_isMadeFromTheLimitsAndAnUnknownTypeReadAsZero) {
    load("\"Ventrolo.Version 1.24\"\r\nx,y,\"1:200:0\"\r\n3500,100,\"\"\r\n");
    EXPECT_EQ(data().TableLast, 1);
    EXPECT_EQ(data().TablePos[0], 500);
    EXPECT_EQ(data().InterpolType, 1);
    EXPECT_TRUE(platform.messages.back().text.contains("line 2: the header"));

    platform.messages.clear();
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"12:200:0\"\r\n3500,100,\"\"\r\n");
    EXPECT_EQ(data().InterpolType, 0);
    EXPECT_TRUE(platform.messages.back().text.contains("no interpolation type"));
}

TEST_F(TableFile, binaryGarbage_neverCrashesAndLeavesAnOrderedTable) {
    auto* random = QRandomGenerator::global();
    for (int round = 0; round < 50; ++round) {
        QByteArray garbage(int(random->bounded(1, 4000)), '\0');
        for (char& c : garbage)
            c = char(random->bounded(256));
        if (round % 2 == 0)
            garbage.prepend("\"Ventrolo.Version 1.24\"\r\n0,500,\"\"\r\n3500,1,\"\"\r\n");
        platform.answerNextMessage(platform::Answer::Yes); // a version question, if any
        load(garbage);
        ASSERT_GE(data().TableLast, 0);
        ASSERT_LE(data().TableLast, TableData::MaxDataRows);
        for (int row = 2; row <= data().TableLast; ++row)
            ASSERT_LT(data().TableFreq[row - 1], data().TableFreq[row]);
        platform.messages.clear();
    }
}

TEST_F(TableFile, unreadableFileOrDirectory_isReportedAndNothingIsLost) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("Table.cat")); // no table can be read from it
    table.LoadTable();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(
        platform.messages[0].text.startsWith("The table file " + path() + " cannot be read: "));
    EXPECT_EQ(data().TableLast, 0);

    TableEditor lost(state, platform, dir.path() + "/missing");
    lost.LoadTable(); // a new table whose file cannot be written
    EXPECT_TRUE(platform.messages.back().text.startsWith("The table could not be saved to "));
    state.StepCounter = 50;
    lost.AddOrReplaceRow(3500);
    EXPECT_FALSE(lost.SaveTable());
    EXPECT_TRUE(lost.TableChanged());
}

TEST_F(TableFile, aByteOrderMarkIsSkipped_aDeviceNotRead_andAHugeFileReadToItsLimit) {
    load("\xEF\xBB\xBF" + HandWritten);
    EXPECT_EQ(data().TableLast, 3);
    EXPECT_TRUE(platform.messages.empty());

    ASSERT_TRUE(QFile::remove(path()) && QFile::link("/dev/zero", path()));
    table.LoadTable();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "The table file " + path() +
                                             " cannot be read: it is not a regular file (a device "
                                             "or a pipe)");
    platform.messages.clear();

    ASSERT_TRUE(QFile::remove(path()));
    load(HandWritten + QByteArray(5 * 1024 * 1024, '\n'));
    EXPECT_EQ(data().TableLast, 3);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(
        platform.messages[0].text.contains("it is larger than 4 MB; what follows was not read"));
}

TEST(TableFileName, typedNames_becomeCatFilesInTheProgramDirectory) {
    EXPECT_EQ(NormalizeTableName("abc"), "\\abc.cat");
    EXPECT_EQ(NormalizeTableName("\\old.txt"), "\\old.cat");
    EXPECT_EQ(NormalizeTableName("  loop.b.c "), "\\loop.cat");
    EXPECT_EQ(NormalizeTableName(""), std::nullopt);
    EXPECT_EQ(NormalizeTableName("a/b"), std::nullopt);
    EXPECT_EQ(NormalizeTableName("..\\x"), std::nullopt);
    EXPECT_EQ(NormalizeTableName("my\"loop"), std::nullopt); // Ventrolo.cfg could not keep it
    EXPECT_EQ(NormalizeTableName(".txt"), std::nullopt);
    EXPECT_EQ(TableFilePath("/d", "\\Table.cat"), "/d/Table.cat");
    EXPECT_EQ(TableFilePath("/d", "NewFile"), "/d/NewFile");
}
