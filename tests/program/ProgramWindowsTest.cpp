// The direct and timer table windows: their controls reach the logic and show what it tells.
// The logic is tested in DirectTableTest and TimerTableTest, closing mid-turn in tests/app.
#include "FakeTurner.h"
#include "engine/KeyCodes.h"
#include "program/DirectTableWindow.h"
#include "program/TimerTable.h"
#include "program/TimerTableWindow.h"
#include "support/AccessibleNames.h"
#include "support/TestFiles.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using program_test::FakeTurner;

namespace {

struct ProgramWindowsTest : ::testing::Test {
    QTemporaryDir dir;
    core::ProgramState state;
    testing_support::FakePlatform platform; // 12:00:00
    FakeTurner turner{state, platform};
};

} // namespace

TEST_F(ProgramWindowsTest, directTable_filtersTypingForwardsItsKeysAndChecksWhatLoaded) {
    program::DirectTableWindow window(state, platform, turner, dir.path());
    window.show();
    EXPECT_EQ(testing_support::UnnamedOrAlike(window), QStringList());
    EXPECT_EQ(window.windowTitle(), "Direct turning.");
    EXPECT_EQ(window.cmdRun->text(), "&Start");
    EXPECT_EQ(window.lblAktueel->text(), "Waiting");
    QTest::keyClicks(window.txtData, "12 a-3,x4!");
    EXPECT_EQ(window.txtData->text(), "123,4!");

    QSignalSpy keys(&window, &program::DirectTableWindow::keyCommand);
    QTest::keyClick(window.txtData, Qt::Key_N);
    QTest::keyClick(window.txtData, Qt::Key_C, Qt::ControlModifier); // copy, no calibration
    QTest::keyClick(window.txtData, Qt::Key_Escape);
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(keys[0][0].toInt(), 'N');
    EXPECT_EQ(keys[1][0].toInt(), engine::VirtualKey::Escape);

    // A program put in without keys (a screen reader) is the one that runs, filtered. A program
    // of one value runs once; should the box's old program of two values run instead, it would
    // run endlessly, so a stop ends it in time.
    platform.scheduleAfter(60'000, [&] { turner.stopTurning(); });
    QAccessible::queryAccessibleInterface(window.txtData)->setText(QAccessible::Value, "4 0");
    EXPECT_EQ(window.txtData->text(), "40");
    QTest::mouseClick(window.cmdRun, Qt::LeftButton);
    EXPECT_EQ(turner.targets(), std::vector<core::Long>{40});

    window.mnuDefault->trigger();
    EXPECT_TRUE(window.txtData->text().startsWith("22*,800!"));
    window.mnuLoad2->trigger(); // no Turnlist2.txt: the default stays the program's source
    EXPECT_EQ(platform.messages.back().text, "File " + dir.path() + "/Turnlist2.txt not found.");
    EXPECT_TRUE(window.mnuDefault->isChecked());
    EXPECT_FALSE(window.mnuLoad2->isChecked());
    platform.answerNextInput("3");
    window.mnuSave->trigger();
    EXPECT_TRUE(window.mnuLoad3->isChecked());
    EXPECT_FALSE(window.mnuDefault->isChecked());
}

TEST_F(ProgramWindowsTest, directTable_aLoadedProgramTooLongForTheBox_isNotCutAgainOnSave) {
    program::DirectTableWindow window(state, platform, turner, dir.path());
    const QByteArray file = "\"" + QByteArray("1,").repeated(20000) + "\"\r\n";
    test_support::WriteFile(dir.filePath("Turnlist1.txt"), file);
    window.mnuLoad1->trigger();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("longer than 32767 characters"));
    // The box shows the program whole, up to its last value, and that is what is saved; the
    // file as it was is kept beside.
    const QString shown = window.txtData->text();
    EXPECT_EQ(shown.size(), 32766);
    EXPECT_TRUE(shown.endsWith(",1,"));
    window.mnuSave->trigger();
    EXPECT_EQ(test_support::ReadFile(dir.filePath("Turnlist1.txt")),
              "\"" + shown.toLatin1() + "\"\r\n");
    EXPECT_EQ(test_support::ReadFile(dir.filePath("Turnlist1.txt.damaged")), file);
}

TEST_F(ProgramWindowsTest, timerTable_theKeyboardTicksTheStepperAndCopiesARow_spaceStillStops) {
    program::TimerTable table(state, platform, turner, dir.path());
    program::TimerTableWindow window(state, table);
    window.show();
    EXPECT_EQ(testing_support::UnnamedOrAlike(window), QStringList());
    QSignalSpy keys(&window, &program::TimerTableWindow::keyCommand);
    QTest::keyClick(window.Check1, Qt::Key_Space);
    EXPECT_EQ(keys.size(), 1) << "Space stops a turn";
    EXPECT_EQ(window.Check1->text(), "Stepper 1") << "and clicks nothing";

    QTest::keyClick(window.Check1, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Check1->text() == "Stepper 2"; }, 1000));
    QTest::keyClicks(window.txtStappen, "150");
    QTest::keyClick(window.txtStappen, Qt::Key_Return);
    ASSERT_EQ(window.List1->count(), 1);
    window.txtStappen->clear();
    window.List1->setCurrentRow(0); // as the arrow keys choose it
    QTest::keyClick(window.List1, Qt::Key_Return);
    EXPECT_EQ(window.txtStappen->text(), "150");
    EXPECT_EQ(window.txtKill->text(), "1");
    EXPECT_EQ(keys.size(), 1);
}

TEST_F(ProgramWindowsTest, timerTable_addsFromItsBoxesCopiesAClickedLineAndHides) {
    program::TimerTable table(state, platform, turner, dir.path());
    program::TimerTableWindow window(state, table);
    EXPECT_EQ(window.txtTijd->text(), "12:00:00");
    EXPECT_EQ(window.Check1->text(), "Stepper 1");
    EXPECT_EQ(window.cmdTimerOn->text(), "&Timer on.");
    window.txtTijd->selectAll();
    QTest::keyClicks(window.txtTijd, "073000");
    QTest::keyClicks(window.txtStappen, "99 150");
    EXPECT_EQ(window.txtStappen->text(), "150"); // a space empties the box
    QTest::mouseClick(window.Check1, Qt::LeftButton);
    EXPECT_EQ(window.Check1->text(), "Stepper 2");
    QTest::keyClick(window.txtStappen, Qt::Key_Return);
    ASSERT_EQ(window.List1->count(), 1);
    EXPECT_EQ(window.List1->item(0)->text(), "Nbr 1   07:30:00      150   S 2");
    EXPECT_EQ(window.lblRecords->text(), "Records = 1.");
    EXPECT_EQ(window.lblTijdToGo->text(), "I go turning on 07:30:00 >  150  S 2.");

    window.txtTijd->selectAll();
    QTest::keyClicks(window.txtTijd, "25");
    QTest::mouseClick(window.cmdInvoer, Qt::LeftButton); // not hh:mm:ss: a beep
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(window.List1->count(), 1);
    // Set without keys, as a screen reader does; a position that is no number is refused and
    // selected for correction.
    QAccessible::queryAccessibleInterface(window.txtTijd)->setText(QAccessible::Value, "08:15:00");
    QAccessible::queryAccessibleInterface(window.txtStappen)->setText(QAccessible::Value, "abc");
    QTest::mouseClick(window.cmdInvoer, Qt::LeftButton);
    EXPECT_EQ(platform.beeps.size(), 2u);
    EXPECT_EQ(window.txtStappen->selectedText(), "abc");
    QAccessible::queryAccessibleInterface(window.txtStappen)->setText(QAccessible::Value, "75");
    QTest::mouseClick(window.cmdInvoer, Qt::LeftButton);
    ASSERT_EQ(window.List1->count(), 2);
    EXPECT_EQ(window.List1->item(1)->text(), "Nbr 2   08:15:00      75   S 2");
    window.txtKill->setText("2");
    QTest::mouseClick(window.cmdKill, Qt::LeftButton);
    EXPECT_EQ(window.List1->count(), 1);

    QTest::mouseClick(window.List1->viewport(), Qt::LeftButton, {},
                      window.List1->visualItemRect(window.List1->item(0)).center());
    EXPECT_EQ(window.txtTijd->text(), "07:30:00");
    EXPECT_EQ(window.txtKill->text(), "1");

    QSignalSpy hidden(&window, &program::TimerTableWindow::hiddenToBackground);
    window.show();
    window.mnuVerbergTimer->trigger();
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(hidden.size(), 1);
    EXPECT_TRUE(hidden[0][0].toBool());
    QTest::mouseDClick(window.txtKill, Qt::LeftButton); // deletes record 1
    EXPECT_EQ(window.List1->count(), 0);
}
