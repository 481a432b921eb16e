// The table window and the CAT terminal as the application opens, closes and ends them.
#include "app/AppFixture.h"
#include "display/CatTerminalWindow.h"

#include <QAccessible>
#include <QPlainTextEdit>

namespace {

struct TableWindowAppTest : ::testing::Test {
    QTemporaryDir dir;
    app_test::FakePlatform platform;
    std::unique_ptr<app::VentroloApp> app;
    table::TableWindow* table = nullptr;

    TableWindowAppTest() {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=simulated\n");
        platform.clockStepPerRead = 1; // the first start measures the PC speed
        start();
        platform.clockStepPerRead = 0;
    }
    void start() {
        app.reset(); // one application at a time
        app = std::make_unique<app::VentroloApp>(dir.path(), platform,
                                                 std::make_unique<port::SimulatedLpt>());
        app->start();
    }
    test_support::MainWindowControls form() const {
        return test_support::MainWindowControls(app->mainWindow());
    }
    // The table window opened from the main window, with the rig's port open if asked.
    bool openTable(bool withPort) {
        QTest::mouseClick(form().cmdTableUnity, Qt::LeftButton);
        table = app->tableWindow();
        if (table && withPort)
            QTest::mouseClick(table->form().cmdComport, Qt::LeftButton);
        return table;
    }
};

} // namespace

TEST_F(TableWindowAppTest, theTableButtonOpensTheTableWithTheWheelEntries_closingItUndoesThat) {
    EXPECT_FALSE(form().mnuWheelTable->isEnabled());
    ASSERT_TRUE(openTable(false));
    EXPECT_TRUE(table->isVisible());
    EXPECT_TRUE(form().mnuTableUnity->isChecked());
    EXPECT_TRUE(app->state().TableWindowShown);
    EXPECT_TRUE(form().mnuWheelTable->isEnabled());
    EXPECT_FALSE(form().mnuWheelFrequency->isEnabled()); // not without the rig's port
    EXPECT_TRUE(QFile::exists(dir.filePath("Table.cat")));

    table->close();
    EXPECT_FALSE(app->tableWindow());
    EXPECT_FALSE(table->isVisible());
    EXPECT_FALSE(form().mnuTableUnity->isChecked());
    EXPECT_FALSE(app->state().TableWindowShown);
    EXPECT_FALSE(form().mnuWheelTable->isEnabled());
}

TEST_F(TableWindowAppTest, thePelorusButton_opensThePelorus_andFollowsItWhoeverClosesIt) {
    ASSERT_TRUE(openTable(false));
    QPushButton* pelorus = table->form().cmdPelorusScherm;
    QTest::mouseClick(pelorus, Qt::LeftButton);
    EXPECT_TRUE(app->state().PelorusShown);
    EXPECT_TRUE(form().mnuPelorus->isChecked());
    EXPECT_EQ(pelorus->text(), "Pel&orus on");

    form().mnuPelorus->trigger(); // closed from the main window
    EXPECT_FALSE(app->state().PelorusShown);
    EXPECT_EQ(pelorus->text(), "Pel&orus off");
}

TEST_F(TableWindowAppTest,
       theWayOutReleasesThePttAndSavesBeforeTheParkQuestion_thePortClosesAtTheEnd) {
    ASSERT_TRUE(openTable(true));
    ASSERT_TRUE(app->tuning().port().portOpen());
    QTest::mouseClick(table->form().cmdPTT, Qt::LeftButton);
    ASSERT_TRUE(app->simulatedRig().rig().transmitting());
    app->state().StepCounter = 50; // not parked: the question comes
    QTest::keyClicks(table->form().txtInput, "7050");
    QTest::mouseClick(table->form().cmdInput, Qt::LeftButton);

    app->mainWindow().close();
    ASSERT_TRUE(app->exitDialog());
    EXPECT_FALSE(app->simulatedRig().rig().transmitting());
    EXPECT_TRUE(app->simulatedRig().isOpen()); // the park hears the rig
    EXPECT_TRUE(test_support::ReadFile(dir.filePath("Table.cat")).contains("7050,50,\"\""));
    QTest::mouseClick(app->exitDialog()->CmdNo, Qt::LeftButton);
    EXPECT_FALSE(app->simulatedRig().isOpen());

    // The table window was shown at the end: it opens at the next start.
    start();
    ASSERT_TRUE(app->tableWindow());
    EXPECT_TRUE(app->tableWindow()->isVisible());
}

TEST_F(TableWindowAppTest, theCatTerminalShowsTheNewestTrafficOnTopSavesItAndClosesWithThePort) {
    ASSERT_TRUE(openTable(true));
    table->form().mnuTerminal->trigger();
    display::CatTerminalWindow* terminal = app->catTerminal();
    ASSERT_TRUE(terminal);
    platform.advance(1100); // one poll
    const QStringList lines = app->catLog().TerminalView().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 2);
    EXPECT_TRUE(lines.first().contains(" RX< ")); // the newest on top: the last reply
    EXPECT_TRUE(lines.filter(" TX> 0,0,0,0,3 {Ask Freq}").size() == 1);

    terminal->mnuSaveLog->trigger();
    EXPECT_EQ(platform.messages.back().text, "Save/Append " + dir.filePath("VentroCat.log"));
    platform.advance(1000);
    QTest::mouseClick(terminal->cmdClear, Qt::LeftButton);
    EXPECT_TRUE(app->catLog().TerminalBuffer().isEmpty());

    QTest::mouseClick(table->form().cmdComport, Qt::LeftButton); // the port closes
    EXPECT_FALSE(app->catTerminal());
    EXPECT_FALSE(table->form().mnuTerminal->isChecked());
    EXPECT_FALSE(app->catLog().CatLogOn());
    EXPECT_TRUE(test_support::ReadFile(dir.filePath("VentroCat.log")).contains("{Ask Freq}"));
}

TEST_F(TableWindowAppTest, theCatTerminalsTrafficIsTextAScreenReaderReads) {
    ASSERT_TRUE(openTable(true));
    table->form().mnuTerminal->trigger();
    display::CatTerminalWindow* terminal = app->catTerminal();
    ASSERT_TRUE(terminal);
    platform.advance(1100); // one poll
    QAccessibleInterface* traffic = QAccessible::queryAccessibleInterface(terminal->surface());
    ASSERT_TRUE(traffic && traffic->textInterface());
    EXPECT_FALSE(traffic->text(QAccessible::Name).isEmpty());
    EXPECT_TRUE(traffic->state().readOnly);
    QAccessibleTextInterface* text = traffic->textInterface();
    const QStringList lines = text->text(0, text->characterCount()).split('\n');
    EXPECT_EQ(lines, app->catLog().TerminalView().split("\r\n", Qt::SkipEmptyParts));
    EXPECT_TRUE(lines.first().contains(" RX< ")); // the newest on top
    EXPECT_EQ(lines.filter(" TX> 0,0,0,0,3 {Ask Freq}").size(), 1);

    QTest::mouseClick(terminal->cmdClear, Qt::LeftButton);
    EXPECT_EQ(text->characterCount(), 0);
}

TEST_F(TableWindowAppTest, whileTheRigTransmitsTheMainWindowsTurningKeyBeepsInsteadOfTurning) {
    ASSERT_TRUE(openTable(true));
    app->state().StepCounter = 50;
    app->simulatedRig().rig().setTransmit(true);
    platform.advance(1100); // one poll
    ASSERT_TRUE(app->tuning().rigTransmitting());
    const std::size_t beeps = platform.beeps.size();
    QTest::keyClick(&app->mainWindow(), Qt::Key_PageUp);
    EXPECT_EQ(app->state().StepCounter, 50);
    EXPECT_EQ(platform.beeps.size(), beeps + 1);

    app->simulatedRig().rig().setTransmit(false);
    platform.advance(1100);
    QTest::keyClick(&app->mainWindow(), Qt::Key_PageUp);
    EXPECT_GT(app->state().StepCounter, 50);
}

TEST_F(TableWindowAppTest, aProgramOrTimerWindowClosesTheTableWindowNotTheRigLink_soItsTurnsWait) {
    core::ProgramState& state = app->state();
    test_support::WriteFile(dir.filePath("Table.cat"), "\"Ventrolo.Version 1.24\"\r\n"
                                                       "0,500,\"0:200:0\"\r\n7000,100,\"\"\r\n"
                                                       "7200,200,\"\"\r\n");
    ASSERT_TRUE(openTable(true));
    platform.advance(3000); // following brings the stepper to the start-up row
    ASSERT_EQ(state.StepCounter, 100);
    QTest::mouseClick(form().cmdDirect, Qt::LeftButton);
    program::DirectTableWindow* direct = app->directWindow();
    ASSERT_TRUE(direct);
    EXPECT_FALSE(app->tableWindow());
    EXPECT_FALSE(app->station().following());
    ASSERT_TRUE(app->tuning().port().portOpen());

    // The rig keyed by its own PTT: the program waits at its first turn until Esc.
    app->simulatedRig().rig().setTransmit(true);
    platform.advance(1100);
    ASSERT_TRUE(app->tuning().rigTransmitting());
    const core::Long before = state.StepCounter;
    QTest::keyClicks(direct->txtData, "110,130");
    platform.scheduleAfter(6000, [&] { QTest::keyClick(direct->txtData, Qt::Key_Escape); });
    QTest::mouseClick(direct->cmdRun, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, before);

    // A timer record waits its minute and is skipped.
    const QString at = platform.now().addSecs(2).toString(QStringLiteral("hh:mm:ss"));
    test_support::WriteFile(dir.filePath("Timer1.tbl"), "\"" + at.toLatin1() + "\",60,0\r\n");
    QTest::mouseClick(form().cmdTimer, Qt::LeftButton);
    ASSERT_TRUE(app->timerWindow());
    platform.advance(75000);
    EXPECT_EQ(state.StepCounter, before);
    ASSERT_TRUE(app->tuning().port().portOpen());

    // Back in the table window the link is still open, and following goes on once the rig
    // receives.
    app->simulatedRig().rig().setTransmit(false);
    ASSERT_TRUE(openTable(false));
    EXPECT_FALSE(app->timerWindow());
    app->simulatedRig().rig().setFrequency(7100);
    platform.advance(3000);
    EXPECT_EQ(state.StepCounter, 150);
}
