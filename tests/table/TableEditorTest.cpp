#include "TableTestSupport.h"
#include "table/TableLookup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

using namespace table;
using table_test::TableFixture;

class TableEditorTest : public TableFixture {
protected:
    // An empty table on a new file.
    void SetUp() override {
        table.LoadTable();
        platform.beeps.clear();
    }
};

// --- rows ---

TEST_F(TableEditorTest, hundredthRowIsAcceptedAndTheNextRefused) {
    for (int i = 1; i <= 100; ++i)
        addRow(1000 + i, i);
    EXPECT_EQ(data().TableLast, 100);
    EXPECT_TRUE(platform.messages.empty());

    EXPECT_EQ(table.AddOrReplaceRow(5000), TableEditor::AddResult::Full);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Sorry table is full 100");
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.");
    EXPECT_EQ(data().TableLast, 100);

    // Replacing adds no row and stays possible.
    state.StepCounter = 7;
    EXPECT_EQ(table.AddOrReplaceRow(1050), TableEditor::AddResult::Replaced);
    EXPECT_EQ(data().TablePos[50], 7);
}

TEST_F(TableEditorTest, equalFrequencyAsksAndPositionsAreStoredWithinTheLimitsLessTheOffset) {
    state.MinPosition = 20;
    addRow(3500, 5);
    EXPECT_EQ(platform.messages.back().text, "Steppos range limited to min 20");
    addRow(3600, 900);
    EXPECT_EQ(platform.messages.back().text, "Steppos range limited to max 500");
    ASSERT_TRUE(table.SetStepperOffset(10));
    addRow(3700, 110);
    EXPECT_EQ((std::vector<core::Long>{data().TablePos[1], data().TablePos[2], data().TablePos[3]}),
              (std::vector<core::Long>{20, 500, 100}));

    ASSERT_TRUE(table.SaveTable());
    platform.answerNextMessage(platform::Answer::No);
    EXPECT_EQ(table.AddOrReplaceRow(3600), TableEditor::AddResult::NotReplaced);
    EXPECT_EQ(platform.messages.back().text, "Replace record  2");
    EXPECT_EQ(data().TablePos[2], 500);
    EXPECT_FALSE(table.TableChanged());
    EXPECT_EQ(table.AddOrReplaceRow(3600), TableEditor::AddResult::Replaced);
    EXPECT_EQ(data().TablePos[2], 100);
    EXPECT_TRUE(table.TableChanged());
}

TEST_F(TableEditorTest, startUpRow_isTheFirstStarredRowAndIsSentWithThePortOpen) {
    for (const double freq : {3500, 7000, 14000})
        addRow(freq, 100);
    EXPECT_EQ(data().StartupRow(), 1);
    table.SetRowText(3, "*20m");
    table.SetRowText(2, "4*0m");
    EXPECT_EQ(data().StartupRow(), 2);
    table.SetRowText(2, "40*m");
    EXPECT_EQ(data().StartupRow(), 3);

    table.SetRigFreqToFirstUnit();
    EXPECT_TRUE(rig.sentFrequencies.empty());
    rig.port = 1;
    table.SetRigFreqToFirstUnit();
    EXPECT_EQ(rig.sentFrequencies, std::vector<core::Single>{14000});
    EXPECT_TRUE(rig.locked);
}

// --- the header ---

TEST_F(TableEditorTest, interpolTypeAndOffset_rebuildTheHeaderAndAStoredOffsetIsQuestioned) {
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:400:0\"\r\n3500,100,\"\"\r\n");
    ASSERT_TRUE(table.SetInterpolType(2));
    EXPECT_EQ(data().TableText[0], "2:400:0");
    EXPECT_TRUE(table.TableChanged());
    EXPECT_FALSE(table.SetInterpolType(10));
    ASSERT_TRUE(table.SaveTable());

    rig.port = 1;
    ASSERT_TRUE(table.SetStepperOffset(30));
    EXPECT_EQ(data().TableText[0], "2:400:30");
    EXPECT_TRUE(table.TableChanged());
    EXPECT_TRUE(rig.locked); // the next poll applies it
    EXPECT_FALSE(table.SetStepperOffset(31));
    EXPECT_EQ(platform.messages.back().text, "To large offset max = +/- 30");
    table.RefreshList(0);
    EXPECT_EQ(data().InterpolType, 2);
    EXPECT_EQ(data().StepperOffset, 30);
    ASSERT_TRUE(table.SaveTable());
    EXPECT_TRUE(readFile().contains("0,500,\"2:400:30\""));

    // A stored offset is questioned when applied while the window is shown.
    state.TableWindowShown = true;
    table.SetWindowVisible(true);
    platform.answerNextMessage(platform::Answer::No);
    table.LoadTable();
    EXPECT_EQ(platform.messages.back().text,
              "Attention this table '\\Table.cat' has an offset off  30\r\nReset it to zero ?");
    EXPECT_EQ(data().StepperOffset, 30);
    table.LoadTable(); // answered Yes
    EXPECT_EQ(data().StepperOffset, 0);
    EXPECT_EQ(data().TableText[0], "2:400:0");
}

TEST_F(TableEditorTest, aHeaderOffsetNoWindowWrites_isToldAndNotUsed) {
    // 9999 would send following to the stepper's Max; no window sets more than 30.
    const QByteArray file = "\"Ventrolo.Version 1.24\"\r\n0,500,\"1:400:9999\"\r\n"
                            "3500,100,\"\"\r\n7000,200,\"\"\r\n";
    load(file);
    EXPECT_EQ(data().StepperOffset, 0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(
        "the header's offset 9999 cannot be used (an offset is at most +/- 30 steps); 0 is used "
        "instead"))
        << platform.messages[0].text.toStdString();
    EXPECT_EQ(readFile(), file) << "the file stays as it is until the table is saved";
    ASSERT_TRUE(table.SaveTable());
    EXPECT_TRUE(readFile().contains("0,500,\"1:400:0\""));
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:400:-30\"\r\n3500,100,\"\"\r\n");
    EXPECT_EQ(data().StepperOffset, -30);
}

TEST_F(TableEditorTest, headerLimitsTheWrongWayRound_areExchangedAndTold) {
    const QByteArray file = "\"Ventrolo.Version 1.24\"\r\n800,20,\"1:400:0\"\r\n"
                            "3500,100,\"\"\r\n7000,200,\"\"\r\n";
    load(file);
    EXPECT_EQ(data().TableFreq[0], 20);
    EXPECT_EQ(data().TablePos[0], 800);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(
        "the header's lower limit 800 is above its upper limit 20; the two are exchanged"))
        << platform.messages[0].text.toStdString();
    EXPECT_EQ(readFile(), file) << "the file stays as it is until the table is saved";
    ASSERT_TRUE(table.SaveTable());
    EXPECT_TRUE(readFile().contains("\r\n20,800,\"1:400:0\"\r\n"));
}

TEST_F(TableEditorTest, aFileThatCannotBeRead_isNotSavedOverUnlessKeptBeside) {
    // A pipe where the table was: nothing of it is read, nor can it be kept.
    QFile::remove(path());
    ASSERT_EQ(::mkfifo(path().toLocal8Bit().constData(), 0600), 0);
    table.LoadTable();
    ASSERT_EQ(platform.messages.size(), 1u);
    addRow(7100, 300);
    EXPECT_FALSE(table.SaveTable());
    EXPECT_FALSE(QFileInfo(path()).isFile()); // the pipe is still there
    // A file there that was not read (its right to read mended since) is kept beside.
    ASSERT_TRUE(QFile::remove(path()));
    writeFile("never read");
    ASSERT_TRUE(table.SaveTable());
    EXPECT_EQ(readFile("Table.cat.damaged"), "never read");
    EXPECT_TRUE(readFile().contains("7100,300"));

    // A file without the right to read it, where that holds (not for root).
    ASSERT_TRUE(QFile::remove(path()));
    writeFile("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:400:0\"\r\n3500,100,\"\"\r\n");
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    if (QFile(path()).open(QIODevice::ReadOnly))
        return;
    table.LoadTable();
    addRow(7100, 300);
    EXPECT_FALSE(table.SaveTable());
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_TRUE(readFile().contains("3500,100"));
    EXPECT_FALSE(readFile().contains("7100"));
}

TEST_F(TableEditorTest, aDamagedFile_isKeptBesideBeforeTheFirstSaveOverIt) {
    const QByteArray damaged = "\"Ventrolo.Version 1.24\"\r\n0,500,\"1:400:0\"\r\n"
                               "3500,100,\"\"\r\n3.6OO,150,\"typo\"\r\n7000,200,\"\"\r\n";
    load(damaged);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(
        platform.messages[0].text.endsWith("It is then kept beside as " + path() + ".damaged."))
        << platform.messages[0].text.toStdString();
    // Kept beside the file that cannot be: the table is not saved over it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("Table.cat.damaged"));
    addRow(7100, 300);
    EXPECT_FALSE(table.SaveTable());
    EXPECT_EQ(readFile(), damaged);
    EXPECT_TRUE(table.TableChanged());
    ASSERT_TRUE(QDir(dir.path()).rmdir("Table.cat.damaged"));
    ASSERT_TRUE(table.SaveTable());
    EXPECT_EQ(readFile("Table.cat.damaged"), damaged);
    EXPECT_TRUE(readFile().contains("7100,300"));
    // The table's own file is no damaged one.
    addRow(7050, 250);
    ASSERT_TRUE(table.SaveTable());
    EXPECT_EQ(readFile("Table.cat.damaged"), damaged);
    // A sound file loaded next is saved without a copy.
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:400:0\"\r\n3500,100,\"\"\r\n");
    QFile::remove(path("Table.cat.damaged"));
    ASSERT_TRUE(table.SaveTable());
    EXPECT_FALSE(QFile::exists(path("Table.cat.damaged")));
}

TEST_F(TableEditorTest, offsetBox_advisesTheOffsetOfThePositionAndCancelChangesNothing) {
    addRow(3500, 100);
    addRow(4000, 200);
    ASSERT_TRUE(table.SaveTable());
    state.StepCounter = 155;
    platform.answerNextInput(""); // Cancel
    EXPECT_FALSE(table.AskStepperOffset(3750));
    EXPECT_EQ(platform.inputs[0].prompt,
              "Give stepper position offset + /- 0\r\nbecause of for example temp variations.\r\n"
              "This value is also saved in the \\Table.cat\r\nDefault is zero.\r\nWas:0\r\n"
              "Advised value:5");
    EXPECT_EQ(data().StepperOffset, 0);
    EXPECT_FALSE(table.TableChanged());

    platform.answerNextInput("-7 steps");
    EXPECT_TRUE(table.AskStepperOffset(3750));
    EXPECT_EQ(data().StepperOffset, -7);
    EXPECT_TRUE(platform.inputs[1].prompt.endsWith("Was:0\r\nAdvised value:5"));
}

TEST_F(TableEditorTest, anOffsetGivenInTheBox_isSavedAtOnce_asRetuneHereSavesIt) {
    addRow(3500, 100);
    addRow(4000, 200);
    ASSERT_TRUE(table.SaveTable());
    platform.answerNextInput("12");
    ASSERT_TRUE(table.AskStepperOffset(3750));
    // A crash now keeps it: the file holds it already.
    EXPECT_TRUE(readFile().contains("0,500,\"0:200:12\"")) << readFile().toStdString();
    EXPECT_FALSE(table.TableChanged());
}

TEST_F(TableEditorTest, retuneHere_makesTheHandCorrectionTheOffsetAndSavesIt) {
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n7000,100,\"\"\r\n7200,300,\"\"\r\n"
         "14000,400,\"\"\r\n14350,450,\"\"\r\n");
    table.ApplyTableLimits(true);
    // 7100 kHz looks up 200; the loop's resonance drifted: the user corrected by 5 steps.
    state.StepCounter = 205;
    EXPECT_EQ(table.RetuneHere(7100), "");
    EXPECT_EQ(data().StepperOffset, 5);
    EXPECT_EQ(*FreqToPosition(data(), 7150), 255);
    EXPECT_EQ(*FreqToPosition(data(), 14000), 405);
    // Saved at once, and the table limits stay applied.
    EXPECT_TRUE(readFile().contains("0,500,\"0:200:5\""));
    EXPECT_FALSE(table.TableChanged());
    EXPECT_TRUE(table.TableLimitsApplied());

    // Where the offset holds only in 40 m, 20 m is looked up without it.
    ASSERT_TRUE(table.SetOffsetBand(7100));
    EXPECT_TRUE(readFile().contains("0,500,\"0:200:5:7100\""));
    EXPECT_EQ(*FreqToPosition(data(), 7150), 255);
    EXPECT_EQ(*FreqToPosition(data(), 14000), 400);
    // A row stored in 20 m takes the counter as it is.
    state.StepCounter = 430;
    addRow(14200, 430);
    EXPECT_EQ(data().TablePos[data().FindFreq(14200)], 430);
    EXPECT_FALSE(table.SetOffsetBand(8000)); // between the bands
    EXPECT_EQ(platform.messages.back().text, "8000 kHz lies in no amateur band.");
    EXPECT_EQ(data().OffsetBandKHz, 7100);

    // Read back: the band holds; a hand-edited band in no amateur band holds everywhere.
    table.LoadTable();
    EXPECT_EQ(data().StepperOffset, 5);
    EXPECT_EQ(data().OffsetBandKHz, 7100);
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:5:x\"\r\n7000,100,\"\"\r\n7200,300,\"\"\r\n");
    EXPECT_EQ(data().OffsetBandKHz, 0);
    EXPECT_EQ(*FreqToPosition(data(), 7100), 205);

    // Offset 0 ends it and saves.
    ASSERT_TRUE(table.ZeroOffset());
    EXPECT_EQ(data().StepperOffset, 0);
    EXPECT_TRUE(readFile().contains("0,500,\"0:200:0\""));
}

TEST_F(TableEditorTest, retuneHere_isRefusedWithoutAFrequencyInTheTableOrBeyondTheLimit) {
    ASSERT_TRUE(table.SetInterpolType(0));
    addRow(7000, 100);
    addRow(7200, 300);
    ASSERT_TRUE(table.SaveTable());
    state.StepCounter = 180;
    EXPECT_EQ(table.RetuneHere(0), "Retune here needs the rig's frequency within the table.");
    EXPECT_EQ(table.RetuneHere(14100), "Retune here needs the rig's frequency within the table.");
    state.StepCounter = 231;
    EXPECT_EQ(table.RetuneHere(7100), "The stepper is 31 steps from the table's position here; an "
                                      "offset is at most +/- 30.");
    EXPECT_EQ(data().StepperOffset, 0);
    EXPECT_FALSE(table.TableChanged());
    state.StepCounter = 170;
    EXPECT_EQ(table.RetuneHere(7100), "");
    EXPECT_EQ(data().StepperOffset, -30);
}

TEST_F(TableEditorTest, tableLimitsDialog_refusedValuesLeaveTheHeaderAsItWas) {
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"3:200:4\"\r\n3500,120,\"\"\r\n7000,380,\"\"\r\n");
    state.MinPosition = 10;
    state.MaxPosition = 600;
    const auto proposal = table.StoreWorkingLimits();
    EXPECT_EQ(data().TableText[0], "3:200:4");
    EXPECT_EQ(data().TablePos[0], 600);
    EXPECT_EQ((std::vector<core::Long>{proposal.lower, proposal.upper, proposal.steps}),
              (std::vector<core::Long>{120, 380, 520}));

    EXPECT_FALSE(table.SetTableLimits(500, 499.6, 400)); // 500 is not below 500
    EXPECT_EQ(platform.messages.back().text, "Values not okay");
    EXPECT_EQ(data().TableFreq[0], 10);
    EXPECT_EQ(data().TableText[0], "3:200:4");

    EXPECT_TRUE(table.SetTableLimits(20.5, 480, 0)); // no steps: the working limits span 180°
    EXPECT_EQ((std::vector<double>{data().TableFreq[0], double(data().TablePos[0]),
                                   double(data().TableStepsPer360)}),
              (std::vector<double>{20, 480, 1180}));
    EXPECT_EQ(data().TableText[0], "3:1180:4");

    table.DeleteRow(2); // one data row: the header's own values are proposed
    const auto fromHeader = table.StoreWorkingLimits();
    EXPECT_EQ((std::vector<core::Long>{fromHeader.lower, fromHeader.upper, fromHeader.steps}),
              (std::vector<core::Long>{10, 600, 200}));
}

TEST_F(TableEditorTest, tableLimits_areNeverStoredAsTheSteppersOwnAndEndWithSaveOrLoad) {
    load("\"Ventrolo.Version 1.24\"\r\n-50,800,\"1:400:0\"\r\n");
    table.ApplyTableLimits(true);
    EXPECT_TRUE(table.TableLimitsApplied());
    EXPECT_EQ((std::vector<double>{double(state.MinPosition), double(state.MaxPosition),
                                   state.StepsPer360}),
              (std::vector<double>{-50, 800, 400}));
    state.MaxPosition = 700; // typed into the main window meanwhile: the user's own
    state.StoreStepperProfile();
    const core::StepperProfile& own = state.StoredProfiles[0];
    EXPECT_EQ(
        (std::vector<double>{double(own.MinPosition), double(own.MaxPosition), own.StepsPer360}),
        (std::vector<double>{0, 700, 200}));

    ASSERT_TRUE(table.SaveTable());
    EXPECT_FALSE(table.TableLimitsApplied());
    EXPECT_EQ(state.MinPosition, 0);

    table.ApplyTableLimits(true);
    writeFile("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:200:0\"\r\n", "b.cat");
    state.TableFileName = "\\b.cat";
    table.LoadTable();
    EXPECT_FALSE(table.TableLimitsApplied());
    EXPECT_EQ(state.MinPosition, 0);
    EXPECT_EQ(engine.valueChanges, 4);
}

// --- file choice ---

TEST_F(TableEditorTest, typedName_savesTheChangedTableAndLoadsANewOne) {
    addRow(3500, 100);
    table.FillCatFileList();
    table.EnterTableName("loop");
    EXPECT_EQ(state.TableFileName, "\\loop.cat");
    EXPECT_TRUE(readFile().contains("3500,100"));
    EXPECT_EQ(readFile("loop.cat"), "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n");
    EXPECT_EQ(data().TableLast, 0);
    EXPECT_TRUE(engine.turns.empty());

    table.EnterTableName("Table.txt"); // in the list already: nothing happens
    EXPECT_EQ(state.TableFileName, "\\loop.cat");
    table.EnterTableName("a/b");
    EXPECT_EQ(platform.messages.back().text, "Not a table file name: a/b");
}

TEST_F(TableEditorTest, choosingAnotherFile_offersToParkTheStepperFirst) {
    writeFile("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:200:0\"\r\n7000,250,\"*\"\r\n", "b.cat");
    rig.port = 2;
    state.StepCounter = 120;
    platform.answerNextMessage(platform::Answer::No);
    table.SelectTableFile("\\b.cat");
    EXPECT_EQ(platform.messages[0].text, "Turn stepper 1 to 0 ?");
    EXPECT_TRUE(engine.turns.empty());
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(data().TablePos[1], 250);
    EXPECT_EQ(rig.sentFrequencies, std::vector<core::Single>{7000});

    const QString change = "Now it's time to change\r\nstepper and/or  magneticloop antenna "
                           "connections\r\n";
    table.SelectTableFile("\\Table.cat"); // answered Yes
    EXPECT_EQ(engine.turns, std::vector<core::Long>{0});
    EXPECT_EQ(platform.messages.back().text, change +
                                                 "and check that the stepper is on position 0\r\n"
                                                 "Press Ok to continue if ready.");
    table.SelectTableFile("\\b.cat"); // standing at MinPosition already
    EXPECT_EQ(platform.messages.back().text, change + "Press Ok to continue if ready.");
    EXPECT_EQ(engine.turns.size(), 1u);
}

TEST_F(TableEditorTest, deletingTheFile_loadsTheNextOrANewFile) {
    writeFile("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:200:0\"\r\n", "b.cat");
    table.DeleteTableFile();
    EXPECT_EQ(platform.messages[0].text, "Kill " + path());
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_EQ(state.TableFileName, "\\b.cat");

    table.DeleteTableFile();
    EXPECT_EQ(state.TableFileName, "NewFile");
    EXPECT_TRUE(QFile::exists(path("NewFile")));
}

TEST_F(TableEditorTest, descriptionBox_anEmptyAnswerKeepsTheTextBlanksClearIt) {
    addRow(3500, 100);
    ASSERT_TRUE(table.SetRowText(1, "*80m"));
    platform.answerNextInput(""); // Cancel, or the field emptied: the start-up star stays
    EXPECT_FALSE(table.AskRowText(1));
    EXPECT_EQ(platform.inputs.back().prompt,
              "Give a description\r\nWas:*80m\r\n\r\nA * at begin says set rig to this record at "
              "first start.");
    EXPECT_EQ(data().TableText[1], "*80m");
    platform.answerNextInput("80m \"dipole\"");
    EXPECT_TRUE(table.AskRowText(1));
    EXPECT_EQ(data().TableText[1], "80m dipole");
    platform.answerNextInput(" ");
    EXPECT_TRUE(table.AskRowText(1));
    EXPECT_EQ(data().TableText[1], "");
    EXPECT_TRUE(table.TableChanged());
}
