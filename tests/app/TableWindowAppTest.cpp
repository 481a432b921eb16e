// The table window and the CAT terminal as the application opens, closes and ends them.
#include "app/VentroloApp.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using testing_support::FakePlatform;

namespace {

// The simulated rig chosen in Ventrolo.ini before the program starts.
QTemporaryDir SimulatedRigDirectory() {
    QTemporaryDir dir;
    QFile ini(dir.filePath("Ventrolo.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[rig]\nlink=simulated\n");
    return dir;
}

struct TableWindowAppTest : ::testing::Test {
    TableWindowAppTest() {
        platform.clockStepPerRead = 1; // the first start measures the PC speed
        app->start();
        platform.clockStepPerRead = 0;
    }
    mainwindow::MainWindowForm& form() { return app->mainWindow().form(); }
    table::TableWindow* openTable() {
        QTest::mouseClick(form().cmdTableUnity, Qt::LeftButton);
        return app->tableWindow();
    }

    QTemporaryDir dir = SimulatedRigDirectory();
    FakePlatform platform;
    std::unique_ptr<app::VentroloApp> app = std::make_unique<app::VentroloApp>(
        dir.path(), platform, std::make_unique<port::SimulatedLpt>());
};

} // namespace

TEST_F(TableWindowAppTest, theTableButtonOpensForm3WithTheWheelEntries_closingItUndoesThat) {
    EXPECT_FALSE(form().mnuWheelTable->isEnabled());
    table::TableWindow* table = openTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->objectName(), "Form3");
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

TEST_F(TableWindowAppTest, theWayOutReleasesThePttClosesThePortAndSavesBeforeTheParkQuestion) {
    table::TableWindow* table = openTable();
    ASSERT_TRUE(table);
    QTest::mouseClick(table->form().cmdComport, Qt::LeftButton);
    ASSERT_TRUE(app->tuning().portOpen());
    QTest::mouseClick(table->form().cmdPTT, Qt::LeftButton);
    ASSERT_TRUE(app->simulatedRig().rig().transmitting());
    app->state().StepCounter = 50; // not parked: the question comes
    QTest::keyClicks(table->form().txtInput, "7050");
    QTest::mouseClick(table->form().cmdInput, Qt::LeftButton);

    app->mainWindow().close();
    ASSERT_TRUE(app->exitDialog());
    EXPECT_FALSE(app->simulatedRig().rig().transmitting());
    EXPECT_FALSE(app->simulatedRig().isOpen());
    QFile saved(dir.filePath("Table.cat"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("7050,50,\"\""));
    QTest::mouseClick(app->exitDialog()->CmdNo, Qt::LeftButton);

    // The table window was shown at the end: it opens at the next start.
    app.reset();
    app = std::make_unique<app::VentroloApp>(dir.path(), platform,
                                             std::make_unique<port::SimulatedLpt>());
    app->start();
    ASSERT_TRUE(app->tableWindow());
    EXPECT_TRUE(app->tableWindow()->isVisible());
}

TEST_F(TableWindowAppTest, theCatTerminalShowsTheTrafficGreenOnBlackAndClosesWithThePort) {
    table::TableWindow* table = openTable();
    ASSERT_TRUE(table);
    QTest::mouseClick(table->form().cmdComport, Qt::LeftButton);
    table->form().mnuTerminal->trigger();
    display::CatTerminalWindow* terminal = app->catTerminal();
    ASSERT_TRUE(terminal);
    EXPECT_EQ(terminal->objectName(), "Form19");
    EXPECT_EQ(terminal->windowTitle(), "Cat Terminal FT817");
    EXPECT_EQ(terminal->surface()->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(terminal->surface()->palette().color(QPalette::WindowText), QColor(Qt::green));
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
    QFile log(dir.filePath("VentroCat.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("{Ask Freq}"));
}

TEST_F(TableWindowAppTest, whileTheRigTransmitsTheMainWindowsTurningKeyBeepsInsteadOfTurning) {
    table::TableWindow* table = openTable();
    ASSERT_TRUE(table);
    QTest::mouseClick(table->form().cmdComport, Qt::LeftButton);
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
