#include "TableTestSupport.h"

using namespace table;
using table_test::TableFixture;

class FrequencyTableTest : public TableFixture {
protected:
    // An empty table on a new file.
    void SetUp() override {
        table.LoadTable();
        platform.beeps.clear();
    }
};

// --- editing ---

TEST_F(FrequencyTableTest, hundredthRowIsAcceptedAndTheNextRefused) {
    for (int i = 1; i <= 100; ++i)
        addRow(1000 + i, i);
    EXPECT_EQ(table.TableLast(), 100);
    EXPECT_TRUE(platform.messages.empty());

    EXPECT_EQ(table.AddOrReplaceRow(5000), FrequencyTable::AddResult::Full);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Sorry table is full 100");
    EXPECT_EQ(platform.messages[0].title, "Ventrolo.");
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Critical);
    EXPECT_EQ(table.TableLast(), 100);

    // Replacing adds no row and stays possible.
    state.StepCounter = 7;
    EXPECT_EQ(table.AddOrReplaceRow(1050), FrequencyTable::AddResult::Replaced);
    EXPECT_EQ(table.TablePos(50), 7);
}

TEST_F(FrequencyTableTest, equalFrequency_asksAndNoLeavesTheTableUnchangedAndUnmarked) {
    addRow(3500, 100);
    addRow(7000, 200);
    ASSERT_TRUE(table.SaveTable());
    state.StepCounter = 150;
    platform.answerNextMessage(platform::Answer::No);
    EXPECT_EQ(table.AddOrReplaceRow(7000), FrequencyTable::AddResult::NotReplaced);
    EXPECT_EQ(platform.messages.back().text, "Replace record  2");
    EXPECT_EQ(table.TablePos(2), 200);
    EXPECT_FALSE(table.TableChanged());

    EXPECT_EQ(table.AddOrReplaceRow(7000), FrequencyTable::AddResult::Replaced);
    EXPECT_EQ(table.TablePos(2), 150);
    EXPECT_TRUE(table.TableChanged());
}

TEST_F(FrequencyTableTest, positionOutsideTheLimits_isStoredAtTheLimitWithoutOffset) {
    state.MinPosition = 20;
    addRow(3500, 5);
    EXPECT_EQ(table.TablePos(1), 20);
    EXPECT_EQ(platform.messages.back().text, "Steppos range limited to min 20");
    addRow(3600, 900);
    EXPECT_EQ(table.TablePos(2), 500);
    EXPECT_EQ(platform.messages.back().text, "Steppos range limited to max 500");

    ASSERT_TRUE(table.SetStepperOffset(10));
    addRow(3700, 110);
    EXPECT_EQ(table.TablePos(3), 100);

    EXPECT_EQ(table.AddOrReplaceRow(500000), FrequencyTable::AddResult::TooHigh);
    EXPECT_EQ(table.view().InputText, "To High");
}

TEST_F(FrequencyTableTest, sortDeleteAndDescriptions_keepTheListInOrder) {
    addRow(7000, 300);
    addRow(3500, 100);
    table.SetInputText("7000");
    addRow(14000, 400);
    EXPECT_EQ(table.view().ListIndex, 1); // the input box's row
    EXPECT_TRUE(table.SetRowText(1, "say \"hi\"\r\n"));
    EXPECT_EQ(table.ListLine(1), "001   3500 kHz   100   say hi");
    EXPECT_TRUE(table.DeleteRow(2));
    EXPECT_FALSE(table.DeleteRow(3));
    EXPECT_EQ(table.ListLines(),
              QStringList({"001   3500 kHz   100   say hi", "002   14000 kHz   400   "}));
    EXPECT_EQ(table.TableFreq(3), 0); // the freed row holds nothing
    EXPECT_EQ(table.view().StatusText, "\\Table.cat     Recs 2  0>500 f(x)=x");
}

TEST_F(FrequencyTableTest, startUpRow_isTheFirstStarredRowAndIsSentWithThePortOpen) {
    addRow(3500, 100);
    addRow(7000, 200);
    addRow(14000, 300);
    EXPECT_EQ(table.StartupRow(), 1);
    table.SetRowText(3, "*20m");
    table.SetRowText(2, "4*0m");
    EXPECT_EQ(table.StartupRow(), 2);
    table.SetRowText(2, "40*m");
    EXPECT_EQ(table.StartupRow(), 3);

    table.SetRigFreqToFirstUnit();
    EXPECT_TRUE(rig.sentFrequencies.empty());
    rig.port = 1;
    table.SetRigFreqToFirstUnit();
    EXPECT_EQ(rig.sentFrequencies, std::vector<core::Single>{14000});
    EXPECT_EQ(table.view().LockCaption(), "&Locked");
}

TEST_F(FrequencyTableTest, interpolTypeAndOffset_surviveARefreshAndTheHeaderKeepsItsSteps) {
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:400:0\"\r\n3500,100,\"\"\r\n");
    EXPECT_EQ(table.TableStepsPer360(), 400);
    ASSERT_TRUE(table.SetInterpolType(2));
    ASSERT_TRUE(table.SetStepperOffset(-30));
    EXPECT_FALSE(table.SetStepperOffset(31));
    EXPECT_EQ(platform.messages.back().text, "To large offset max = +/- 30");
    table.RefreshList(0);
    EXPECT_EQ(table.InterpolType(), 2);
    EXPECT_EQ(table.StepperOffset(), -30);
    EXPECT_EQ(table.StepperOffsetCaption(), "&Stepper offset(-30)...");
    EXPECT_TRUE(table.TableChanged());
    ASSERT_TRUE(table.SaveTable());
    EXPECT_TRUE(readFile().contains("0,500,\"2:400:-30\""));
}

TEST_F(FrequencyTableTest, offsetInTheHeader_isQuestionedOnlyWhileTheWindowIsShown) {
    const QByteArray withOffset = "\"Ventrolo.Version 1.24\"\r\n0,500,\"1:200:5\"\r\n";
    load(withOffset);
    EXPECT_EQ(table.StepperOffset(), 5);
    EXPECT_TRUE(platform.messages.empty());

    state.TableWindowShown = true;
    table.SetWindowVisible(true);
    platform.answerNextMessage(platform::Answer::No);
    table.LoadTable();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "Attention this table '\\Table.cat' has an offset off  5\r\nReset it to zero ?");
    EXPECT_EQ(table.StepperOffset(), 5);

    table.LoadTable(); // answered Yes
    EXPECT_EQ(table.StepperOffset(), 0);
    EXPECT_EQ(table.TableText(0), "1:200:0");
}

TEST_F(FrequencyTableTest, savingUnchecksTheTableLimits) {
    load("\"Ventrolo.Version 1.24\"\r\n-50,800,\"1:400:0\"\r\n");
    table.ApplyTableLimits(true);
    EXPECT_EQ(state.MinPosition, -50);
    EXPECT_EQ(state.MaxPosition, 800);
    EXPECT_EQ(state.StepsPer360, 400);
    ASSERT_TRUE(table.SaveTable());
    EXPECT_FALSE(table.view().TableLimitsApplied);
    EXPECT_EQ(state.MinPosition, 0);
    EXPECT_EQ(state.StepsPer360, 200);
    EXPECT_EQ(engine.valueChanges, 2);
}

// --- file choice ---

TEST_F(FrequencyTableTest, typedName_savesTheChangedTableAndLoadsANewOne) {
    addRow(3500, 100);
    table.FillCatFileList();
    table.EnterTableName("loop");
    EXPECT_EQ(state.TableFileName, "\\loop.cat");
    EXPECT_TRUE(readFile().contains("3500,100"));
    EXPECT_EQ(readFile("loop.cat"), "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n");
    EXPECT_EQ(table.TableLast(), 0);
    EXPECT_TRUE(engine.turns.empty());

    table.EnterTableName("Table.txt"); // in the list already: nothing happens
    EXPECT_EQ(state.TableFileName, "\\loop.cat");
    table.EnterTableName("a/b");
    EXPECT_EQ(platform.messages.back().text, "Not a table file name: a/b");
}

TEST_F(FrequencyTableTest, choosingAnotherFile_offersToParkTheStepperFirst) {
    writeFile("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:200:0\"\r\n7000,250,\"*\"\r\n", "b.cat");
    rig.port = 2;
    state.StepCounter = 120;
    platform.answerNextMessage(platform::Answer::No);
    table.SelectTableFile("\\b.cat");
    EXPECT_EQ(platform.messages[0].text, "Turn stepper 1 to 0 ?");
    EXPECT_TRUE(engine.turns.empty());
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(table.TablePos(1), 250);
    EXPECT_EQ(rig.sentFrequencies, std::vector<core::Single>{7000});

    platform.messages.clear();
    table.SelectTableFile("\\Table.cat"); // answered Yes
    EXPECT_EQ(engine.turns, std::vector<core::Long>{0});
    EXPECT_EQ(platform.messages[1].text,
              "Now it's time to change\r\nstepper and/or  magneticloop antenna connections\r\n"
              "and check that the stepper is on position 0\r\nPress Ok to continue if ready.");

    platform.messages.clear();
    table.SelectTableFile("\\b.cat"); // standing at MinPosition already
    EXPECT_EQ(platform.messages[0].text,
              "Now it's time to change\r\nstepper and/or  magneticloop antenna connections\r\n"
              "Press Ok to continue if ready.");
    EXPECT_EQ(engine.turns.size(), 1u);
}

TEST_F(FrequencyTableTest, deletingTheFile_loadsTheNextOrANewFile) {
    writeFile("\"Ventrolo.Version 1.24\"\r\n0,500,\"1:200:0\"\r\n", "b.cat");
    table.DeleteTableFile();
    EXPECT_EQ(platform.messages[0].text, "Kill " + path());
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_EQ(state.TableFileName, "\\b.cat");

    table.DeleteTableFile();
    EXPECT_EQ(state.TableFileName, "NewFile");
    EXPECT_TRUE(QFile::exists(path("NewFile")));
}

// --- interpolation ---

TEST_F(FrequencyTableTest, typeTwoBetweenTwoRows_givesTheInterpolatedStepPlusOffset) {
    addRow(3500, 100);
    addRow(4000, 200);
    addRow(4500, 300);
    ASSERT_TRUE(table.SetInterpolType(2));
    EXPECT_TRUE(table.view().StatusText.endsWith("f(x)=x^2"));
    EXPECT_EQ(table.FreqToPosition(3750), 155);
    EXPECT_EQ(table.view().InterpolValueText, "155");
    EXPECT_EQ(table.view().InterpolValueColor, LabelBlue);
    EXPECT_EQ(table.view().ListIndex, 1); // the first row at 155 or above
    ASSERT_TRUE(table.SetStepperOffset(3));
    EXPECT_EQ(table.FreqToPosition(3750), 158);
    EXPECT_EQ(platform.steadyMs(), 0); // no blink without the rig
}

TEST_F(FrequencyTableTest, typeZeroHalves_roundToEven) {
    addRow(10, 0);
    addRow(12, 1);
    addRow(14, 2);
    addRow(16, 3);
    EXPECT_EQ(table.FreqToPosition(11), 0);
    EXPECT_EQ(table.FreqToPosition(13), 2);
    EXPECT_EQ(table.FreqToPosition(15), 2);
}

TEST_F(FrequencyTableTest, exactHit_isTheRowPlusOffsetInMagenta) {
    addRow(3500, 100);
    addRow(4000, 200);
    table.SetStepperOffset(-4);
    rig.port = 1;
    EXPECT_EQ(table.FreqToPosition(3500), 96);
    EXPECT_EQ(table.view().InterpolValueColor, LabelMagenta);
    EXPECT_EQ(table.FreqToPosition(4000), 196);
    EXPECT_EQ(table.view().LockCaption(), "&Locked");
    EXPECT_EQ(rig.pauses, 0);
}

TEST_F(FrequencyTableTest, outsideTheTable_keepsTheTargetShowsNoAndUnlocks) {
    state.TargetPosition = 77;
    EXPECT_EQ(table.FreqToPosition(0), 77); // no data rows
    addRow(3500, 100);
    EXPECT_EQ(table.FreqToPosition(3500), 100); // one row: a single point
    EXPECT_EQ(table.FreqToPosition(3500.5f), 77);
    addRow(4000, 200);
    rig.port = 1;
    table.SetLocked(true);
    for (const float x : {3499.99f, 4000.01f}) {
        EXPECT_EQ(table.FreqToPosition(x), 77);
        EXPECT_EQ(table.view().InterpolValueText, "No");
        EXPECT_EQ(table.view().InterpolValueColor, LabelRed);
        EXPECT_EQ(table.view().LockCaption(), "&Unlocked");
    }
}

TEST_F(FrequencyTableTest, withThePortOpen_theValueBlinksWhilePollingIsHeld) {
    addRow(3500, 100);
    addRow(4000, 200);
    rig.port = 1;
    table.FreqToPosition(3500); // label "100"
    QString during;
    platform.scheduleAfter(50, [&] { during = table.view().InterpolValueText; });
    EXPECT_EQ(table.FreqToPosition(3750), 150);
    EXPECT_EQ(during, "???");
    EXPECT_EQ(platform.steadyMs(), 100);
    EXPECT_EQ(rig.pauses, 1);
    EXPECT_EQ(rig.resumes, 1);
}

TEST_F(FrequencyTableTest, numericFault_tellsTheUserClosesThePortAndGivesNoPosition) {
    addRow(1, 100);
    addRow(2, 200);
    rig.port = 3;
    state.TargetPosition = 42;
    table.SetInterpolType(9); // 1/ln(1)
    EXPECT_EQ(table.FreqToPosition(1.5f), 42);
    EXPECT_EQ(platform.messages.back().text, "f(x)=1/ln(x)\r\nInterpol error Division by zero");
    EXPECT_EQ(platform.messages.back().icon, platform::Icon::Information);
    EXPECT_EQ(rig.portOpens, std::vector<core::Long>{0});
    EXPECT_EQ(table.view().InterpolValueText, "No");
    EXPECT_EQ(table.view().InterpolValueColor, LabelBlue);

    table.DeleteRow(1);
    addRow(0, 50);
    table.SetInterpolType(4); // ln(0)
    EXPECT_EQ(table.FreqToPosition(1.5f), 42);
    EXPECT_EQ(platform.messages.back().text,
              "f(x)=sqr(x)\r\nInterpol error Invalid procedure call or argument");
}
