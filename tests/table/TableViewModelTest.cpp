#include "TableTestSupport.h"

using namespace table;
using table_test::TableFixture;

using TableViewModelTest = TableFixture;

TEST_F(TableViewModelTest, listStatusAndCaptions_showTheLoadedTable) {
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"2:200:-3\"\r\n3500,120,\"80m\"\r\n"
         "14000,400,\"\"\r\n");
    EXPECT_EQ(model.ListLines(),
              QStringList({"001   3500 kHz   120   80m", "002   14000 kHz   400   "}));
    EXPECT_EQ(model.StatusText(), "\\Table.cat     Recs 2  0>500 f(x)=x^2  offset -3");
    EXPECT_EQ(model.StatusToolTip(),
              "The loaded tablefile, amount of records and type interpol (2:200:-3).");
    EXPECT_EQ(model.StepperOffsetCaption(), "&Stepper offset(-3)...");
    EXPECT_EQ(model.view().ListIndex, 0);

    model.SelectListIndex(-1);
    EXPECT_EQ(model.TurnToCaption(), "&TurnTo ?");
    EXPECT_EQ(model.DeleteCaption(), "&Delete ?");
    model.ClickRow(0);
    EXPECT_EQ(model.view().InputText, "3500");
    EXPECT_EQ(model.TurnToCaption(), "Turn to  3500 kHz");
    EXPECT_EQ(model.DeleteCaption(), "Delete  3500 kHz");
    EXPECT_EQ(model.AddCommentCaption(), "Add Change 80m");
    EXPECT_EQ(LockCaption(true), "&Locked");
}

TEST_F(TableViewModelTest, addingFromTheInputBox_selectsTheRowOfItsNumber) {
    table.LoadTable();
    for (const auto& [freq, pos] : {std::pair{"7000", 300}, {"3500", 100}, {"14000", 400}}) {
        state.StepCounter = pos;
        model.SetInputText(freq);
        model.AddInputRow();
    }
    EXPECT_EQ(model.view().ListIndex, 2);
    model.SetInputText("7000");
    state.StepCounter = 250;
    platform.answerNextMessage(platform::Answer::Yes);
    EXPECT_EQ(model.AddInputRow(), TableEditor::AddResult::Replaced);
    EXPECT_EQ(model.view().ListIndex, 1);

    model.SetInputText("500000");
    EXPECT_EQ(model.AddInputRow(), TableEditor::AddResult::TooHigh);
    EXPECT_EQ(model.view().InputText, "To High");
    EXPECT_EQ(data().TableLast, 3);

    EXPECT_TRUE(table.SetRowText(1, "say \"hi\"\r\n"));
    EXPECT_EQ(model.ListLine(1), "001   3500 kHz   100   say hi");
    EXPECT_TRUE(table.DeleteRow(2));
    EXPECT_FALSE(table.DeleteRow(3));
    EXPECT_EQ(data().TableFreq[3], 0); // the freed row holds nothing
    model.SelectListIndex(2);          // beyond the rows: no selection
    EXPECT_EQ(model.view().ListIndex, -1);
}

TEST_F(TableViewModelTest, lookups_showThePositionOrNoInTheirColours) {
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:2\"\r\n3500,100,\"\"\r\n4000,200,\"\"\r\n"
         "4500,300,\"\"\r\n");
    model.ShowLookup(LookUpPosition(data(), 3500));
    EXPECT_EQ(model.view().InterpolValueText, "102");
    EXPECT_EQ(model.view().InterpolValueColor, LabelMagenta);
    model.ShowPending();
    EXPECT_EQ(model.view().InterpolValueText, "???");
    EXPECT_EQ(model.view().InterpolValueColor, LabelRed);

    model.ShowLookup(LookUpPosition(data(), 4250));
    EXPECT_EQ(model.view().InterpolValueText, "252");
    EXPECT_EQ(model.view().InterpolValueColor, LabelBlue);
    EXPECT_EQ(model.view().ListIndex, 2); // the first row at 250 or above

    model.ShowLookup(LookUpPosition(data(), 5000));
    EXPECT_EQ(model.view().InterpolValueText, "No");
    EXPECT_EQ(model.view().InterpolValueColor, LabelRed);
    Lookup fault;
    fault.kind = Lookup::Kind::Fault;
    model.ShowLookup(fault);
    EXPECT_EQ(model.view().InterpolValueColor, LabelBlue);

    model.SetInfoInterpolText("No"); // the list is left alone while the info label says so
    model.ShowInterpolPosition(100);
    EXPECT_EQ(model.view().ListIndex, 2);
    model.ResetInterpolLabels();
    EXPECT_EQ(model.view().InterpolValueText, "Interpol value");
}

TEST_F(TableViewModelTest, unitButton_firstAndSixthClickGiveKHzAndTheListFollows) {
    load("\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n120,120,\"\"\r\n");
    QStringList units;
    for (int i = 0; i < 6; ++i) {
        model.NextUnit();
        units << state.FrequencyUnit;
    }
    EXPECT_EQ(units, QStringList({"kHz", "pF", "Ohm", "uH", "mH", "kHz"}));
    model.NextUnit();
    EXPECT_EQ(model.ListLine(1), "001   120 pF   120   ");
    model.ForceKHz(); // the rig's port opened: kHz, and the next click gives pF
    EXPECT_EQ(state.FrequencyUnit, "kHz");
    model.NextUnit();
    EXPECT_EQ(state.FrequencyUnit, "pF");
}
