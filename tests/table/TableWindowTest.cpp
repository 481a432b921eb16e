// The table window's wiring: its controls reach the logic and show what it says.
#include "table/TableWindow.h"

#include "support/AccessibleNames.h"
#include "table/ParamsDialog.h"
#include "table/SimulatedRigPanel.h"
#include "tuning/RigTuningFixture.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <sys/stat.h>

namespace {

struct TableWindowTest : tuning_test::RigTuningFixture {
    TableWindowTest() { platform.processQtEvents = true; }
    void open(const QByteArray& rows) {
        loadTable(rows);
        window = std::make_unique<table::TableWindow>(table::TableWindowLogic{
            state, platform, engine, wheel, editor, view, tuning, simulated, bandSets});
        QObject::connect(&view, &table::TableViewModel::changed, window.get(),
                         &table::TableWindow::render);
        QObject::connect(&tuning, &tuning::RigTuning::changed, window.get(),
                         &table::TableWindow::render);
        QObject::connect(&wheel, &engine::WheelControl::displayChanged, window.get(),
                         &table::TableWindow::renderWheelDisplay);
        window->render();
        window->show();
    }
    table::TableWindowForm& form() { return window->form(); }
    QPoint rowCenter(int index) {
        return form().lstTable->visualItemRect(form().lstTable->item(index)).center();
    }
    void wheelOver(QWidget* widget, int angle) {
        QWheelEvent event(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), {}, {0, angle},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(widget, &event);
    }

    table::BandSets bandSets{dir.path()};
    std::unique_ptr<table::TableWindow> window;
};

const QByteArray ThreeRows = "3500,100,\"80m\"\r\n3600,120,\"\"\r\n3800,160,\"\"\r\n";

} // namespace

TEST_F(TableWindowTest, listRowsTurnWithoutAPort_arrowKeysStayWithinTheRows) {
    open(ThreeRows);
    ASSERT_EQ(form().lstTable->count(), 3);
    EXPECT_EQ(form().lstTable->item(0)->text(), "001   3500 kHz   100   80m");
    EXPECT_EQ(form().lblStatus->text(), "\\Table.cat     Recs 3  0>500 f(x)=x");
    QTest::mouseClick(form().lstTable->viewport(), Qt::LeftButton, {}, rowCenter(1));
    EXPECT_EQ(state.StepCounter, 120);
    EXPECT_EQ(form().txtInput->text(), "3600");
    QTest::keyClick(form().lstTable, Qt::Key_Down);
    QTest::keyClick(form().lstTable, Qt::Key_Down);
    EXPECT_EQ(view.view().ListIndex, 2);
    EXPECT_EQ(state.StepCounter, 160);
    QTest::keyClick(form().lstTable, Qt::Key_Up);
    QTest::keyClick(form().lstTable, Qt::Key_Up);
    QTest::keyClick(form().lstTable, Qt::Key_Up);
    EXPECT_EQ(view.view().ListIndex, 0);
    EXPECT_EQ(form().lstTable->currentRow(), 0);
}

TEST_F(TableWindowTest, aFrequencySetWithoutKeys_isTheOneStored) {
    open(ThreeRows);
    state.StepCounter = 140;
    // As a screen reader sets the box.
    QAccessible::queryAccessibleInterface(form().txtInput)->setText(QAccessible::Value, "3700");
    QTest::mouseClick(form().cmdInput, Qt::LeftButton);
    ASSERT_EQ(editor.data().TableLast, 4);
    EXPECT_EQ(editor.data().TableFreq[3], 3700.0f);
    EXPECT_EQ(editor.data().TablePos[3], 140);
}

TEST_F(TableWindowTest, aNameTypedIntoTheFileBoxAndEnterStartsThatTable) {
    open(ThreeRows);
    form().cboCatFiles->setFocus();
    form().cboCatFiles->lineEdit()->selectAll();
    QTest::keyClicks(form().cboCatFiles, "Loop40"); // the keys reach the box, not its line edit
    QTest::keyClick(form().cboCatFiles, Qt::Key_Return);
    EXPECT_EQ(state.TableFileName, "\\Loop40.cat");
    EXPECT_EQ(editor.data().TableLast, 0);
    EXPECT_EQ(form().cboCatFiles->currentText(), "\\Loop40.cat");
}

TEST_F(TableWindowTest, aTablePickedWithoutActivation_isLoaded_andARenderLoadsNone) {
    test_support::WriteFile(dir.filePath("Loop40.cat"),
                            "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n7000,300,\"\"\r\n");
    open(ThreeRows);
    QComboBox* files = form().cboCatFiles;
    ASSERT_EQ(files->currentText(), "\\Table.cat");
    // As a screen reader picks an item: the index set, no activated().
    files->setCurrentIndex(files->findText("\\Loop40.cat"));
    EXPECT_EQ(state.TableFileName, "\\Loop40.cat");
    EXPECT_EQ(editor.data().TableLast, 1);
    files->setCurrentIndex(files->findText("\\Table.cat"));
    EXPECT_EQ(state.TableFileName, "\\Table.cat");
    EXPECT_EQ(editor.data().TableLast, 3);

    // A new name lists the files again, which moves the index through other tables unheard.
    files->setFocus();
    files->lineEdit()->selectAll();
    QTest::keyClicks(files, "Loop80");
    QTest::keyClick(files, Qt::Key_Return);
    EXPECT_EQ(state.TableFileName, "\\Loop80.cat");
    EXPECT_EQ(files->currentText(), "\\Loop80.cat");
    files->setCurrentIndex(files->findText("\\Loop40.cat"));
    EXPECT_EQ(state.TableFileName, "\\Loop40.cat");
}

TEST_F(TableWindowTest, aPickWhoseTableCannotBeSavedFirst_isRefusedOnceAndTheBoxShowsTheTableKept) {
    test_support::WriteFile(dir.filePath("Loop40.cat"), "");
    open(ThreeRows);
    // A pipe where the table was: it cannot be kept beside, so the changed table is not saved.
    QFile::remove(dir.filePath("Table.cat"));
    ASSERT_EQ(::mkfifo(dir.filePath("Table.cat").toLocal8Bit().constData(), 0600), 0);
    editor.LoadTable();
    form().txtInput->setText("3700");
    QTest::mouseClick(form().cmdInput, Qt::LeftButton);
    const std::size_t told = platform.messages.size();
    // As the mouse picks an item: the index set, then activated().
    QComboBox* files = form().cboCatFiles;
    files->setCurrentIndex(files->findText("\\Loop40.cat"));
    emit files->activated(files->findText("\\Loop40.cat"));
    EXPECT_EQ(platform.messages.size(), told + 1);
    EXPECT_EQ(state.TableFileName, "\\Table.cat");
    EXPECT_EQ(files->currentText(), "\\Table.cat");
}

TEST_F(TableWindowTest, thePopUpActsOnTheRowItWasOpenedFor) {
    open(ThreeRows);
    QTimer::singleShot(0, [this] {
        EXPECT_EQ(form().mnuDelete->text(), "Delete  3600 kHz");
        view.ClickRow(0); // the selection moves while the menu is open
        form().mnuDelete->trigger();
        form().mnuSelect->close();
    });
    QTest::mousePress(form().lstTable->viewport(), Qt::RightButton, {}, rowCenter(1));
    ASSERT_EQ(editor.data().TableLast, 2);
    EXPECT_EQ(editor.data().TableFreq[2], 3800.0f);
}

TEST_F(TableWindowTest, theMenuKeyOpensThePopUpForTheSelectedRow) {
    open(ThreeRows);
    QTest::mouseClick(form().lstTable->viewport(), Qt::LeftButton, {}, rowCenter(0));
    QTest::keyClick(form().lstTable, Qt::Key_Down); // the keyboard's choice of row
    bool opened = false;
    QTimer whileOpen; // ends with the test, also when no menu ran it
    whileOpen.setSingleShot(true);
    QObject::connect(&whileOpen, &QTimer::timeout, [&] {
        opened = form().mnuSelect->isVisible();
        EXPECT_EQ(form().mnuDelete->text(), "Delete  3600 kHz");
        form().mnuDelete->trigger();
        form().mnuSelect->close();
    });
    whileOpen.start(0);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                              form().lstTable->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(form().lstTable, &menuKey);
    EXPECT_TRUE(opened);
    ASSERT_EQ(editor.data().TableLast, 2);
    EXPECT_EQ(editor.data().TableFreq[2], 3800.0f);
}

TEST_F(TableWindowTest, aScreenReaderTellsEveryControlTheKeyboardReachesApart) {
    open(ThreeRows);
    EXPECT_EQ(testing_support::UnnamedOrAlike(*window), QStringList());
}

TEST_F(TableWindowTest, oneWheelNotchIsOneFrequencyStepHoweverTheWheelReportsIt) {
    open(ThreeRows);
    QTest::mouseClick(form().cmdComport, Qt::LeftButton);
    ASSERT_TRUE(tuning.port().portOpen());
    poll();                                          // the first reading sends the start-up row
    QTest::mouseClick(form().cmdUp, Qt::LeftButton); // the wheel steps the frequency now
    EXPECT_EQ(form().cmdScroll->text(), "Frequency");
    EXPECT_EQ(simulated.rig().frequency(), 3509.0);
    wheelOver(form().lstTable->viewport(), 120); // a notch away from the user: up
    EXPECT_EQ(simulated.rig().frequency(), 3518.0);
    for (int i = 0; i < 4; ++i) // a fine-grained wheel: four parts of a notch
        wheelOver(form().lblFreqCat, -30);
    EXPECT_EQ(simulated.rig().frequency(), 3509.0);
}

TEST_F(TableWindowTest, theSimulatedRigsPanelTurnsItsDialAndTheModeButtonsFollowTheModel) {
    open(ThreeRows);
    EXPECT_TRUE(form().frmSimulatedRig->isVisible());
    QTest::mouseClick(window->simulatedRigPanel()->cmdSimUp10, Qt::LeftButton);
    EXPECT_EQ(simulated.rig().frequency(), 7060.0);
    EXPECT_EQ(window->simulatedRigPanel()->lblSimDial->text(), "7060.00 kHz");
    EXPECT_EQ(form().Option1[8]->text(), "PKT");
    EXPECT_TRUE(form().Option1[1]->isChecked());
    form().mnuFt[0]->trigger();
    EXPECT_EQ(form().Option1[2]->text(), "CWW");
    EXPECT_FALSE(form().Option1[6]->isVisible());
    EXPECT_FALSE(form().cmdOnOff->isVisible());
    form().mnuComPorts[2]->trigger();
    EXPECT_FALSE(form().frmSimulatedRig->isVisible());
    EXPECT_EQ(form().cmdComport->text(), "&Comport(3)");
}

TEST_F(TableWindowTest, paramsRefusesALowerLimitNotBelowTheUpperAndStaysOpen) {
    open(ThreeRows);
    QTest::mouseClick(form().cmdComport, Qt::LeftButton);
    bool polling = true;
    QTimer::singleShot(0, [&] { // no poll while the window's dialog is open
        polling = tuning.poller().timerRunning();
        if (auto* params = window->findChild<table::ParamsDialog*>())
            params->reject();
    });
    QTest::mouseClick(form().cmdStatusSave, Qt::LeftButton);
    EXPECT_FALSE(polling);
    EXPECT_TRUE(tuning.poller().timerRunning());

    table::ParamsDialog dialog(editor, state, {500, 500, 0});
    dialog.show();
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    EXPECT_EQ(platform.messages.back().text, "Values not okay");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Text3->text(), "1000");
    EXPECT_EQ(editor.data().TableText[0], "0:200:0");
    dialog.Text1->clear();
    QTest::keyClicks(dialog.Text1, "1,0x");
    EXPECT_EQ(dialog.Text1->text(), "1.0");
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(editor.data().TableText[0], "0:1000:0");
    EXPECT_TRUE(editor.TableChanged());
}

TEST_F(TableWindowTest, theBandSetMenuTicksTheWorkingSteppersTablesAndKeepsThem) {
    test_support::WriteFile(dir.filePath("20m.cat"),
                            "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n14000,400,\"\"\r\n");
    open("3500,100,\"\"\r\n");
    auto entries = [this] {
        emit form().mnuBandSet->aboutToShow();
        QStringList shown;
        for (QAction* a : form().mnuBandSet->actions())
            shown << a->text() + (a->isChecked() ? "*" : "");
        return shown;
    };
    EXPECT_EQ(entries(), QStringList({"20m.cat", "Table.cat"}));
    form().mnuBandSet->actions()[0]->trigger();
    EXPECT_EQ(entries(), QStringList({"20m.cat*", "Table.cat"}));
    EXPECT_TRUE(test_support::ReadFile(dir.filePath("Ventrolo.ini")).contains("bandset=20m.cat"));
    // The other stepper's set is its own.
    state.SelectedStepper = 1;
    EXPECT_EQ(entries(), QStringList({"20m.cat", "Table.cat"}));
    EXPECT_TRUE(platform.messages.empty());
}
