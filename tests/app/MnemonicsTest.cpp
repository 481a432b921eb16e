// The Alt letters of every window, as the application opens them.
#include "support/Mnemonics.h"

#include "app/AppFixture.h"
#include "display/CatTerminalWindow.h"
#include "table/TableWindow.h"

namespace {

struct MnemonicsTest : ::testing::Test {
    QTemporaryDir dir;
    app_test::FakePlatform platform;
    std::unique_ptr<app::VentroloApp> app;

    MnemonicsTest() {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=simulated\n");
        platform.clockStepPerRead = 1; // the first start measures the PC speed
        app = std::make_unique<app::VentroloApp>(dir.path(), platform,
                                                 std::make_unique<port::SimulatedLpt>());
        app->start();
        platform.clockStepPerRead = 0;
    }
    // Every shown window's clashes.
    static QStringList clashes() {
        QStringList found;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && !qobject_cast<QMenu*>(window))
                found << testing_support::MnemonicClashes(*window);
        return found;
    }
};

} // namespace

TEST_F(MnemonicsTest, everyWindowGivesEachAltLetterToOneControlAndEachMenuToOneEntry) {
    const test_support::MainWindowControls form(app->mainWindow());
    form.mnuPelorus->trigger();
    form.find<QAction>("mnuPelSmall")->trigger();
    form.mnuLptOutput->trigger();
    form.mnuLptInput->trigger();
    QTest::mouseClick(form.cmdTableUnity, Qt::LeftButton);
    table::TableWindow* table = app->tableWindow();
    ASSERT_TRUE(table);
    EXPECT_EQ(clashes(), QStringList());

    // The rig's link open, its terminal and the VNA build shown, then following locked.
    QTest::mouseClick(table->form().cmdComport, Qt::LeftButton);
    table->form().mnuTerminal->trigger();
    ASSERT_TRUE(app->catTerminal());
    table->form().mnuBuildVna->trigger();
    EXPECT_EQ(clashes(), QStringList());
    const QString unlocked = table->form().cmdLock->text();
    QTest::mouseClick(table->form().cmdLock, Qt::LeftButton);
    ASSERT_NE(table->form().cmdLock->text(), unlocked);
    EXPECT_EQ(clashes(), QStringList());

    // The direct and timer tables take the table window's place.
    QTest::mouseClick(form.cmdDirect, Qt::LeftButton);
    ASSERT_TRUE(app->directWindow());
    EXPECT_EQ(clashes(), QStringList());
    QTest::mouseClick(form.cmdTimer, Qt::LeftButton);
    ASSERT_TRUE(app->timerWindow());
    EXPECT_EQ(clashes(), QStringList());
}
