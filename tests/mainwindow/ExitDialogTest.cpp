#include "mainwindow/ExitDialog.h"

#include "support/FakePlatform.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using mainwindow::ExitChoice;
using mainwindow::ExitDialog;
using testing_support::FakePlatform;

namespace {

struct ExitDialogTest : ::testing::Test {
    FakePlatform platform;
    ExitDialog dialog{platform, 0, 40};
    QSignalSpy decided{&dialog, &ExitDialog::decided};

    ExitChoice onlyDecision() const {
        EXPECT_EQ(decided.count(), 1);
        return decided.isEmpty() ? ExitChoice::SaveOnly
                                 : decided.first().first().value<ExitChoice>();
    }
};

} // namespace

TEST_F(ExitDialogTest, designedTexts) {
    EXPECT_EQ(dialog.objectName(), "Form11");
    EXPECT_EQ(dialog.windowTitle(), "Ventrolo.Version 1.24");
    EXPECT_EQ(dialog.Label1->text(), "Reset stepper1 to 0\n\nReset stepper2 to 40");
    EXPECT_EQ(dialog.Label2->text(), "Autoreset");
    EXPECT_EQ(dialog.cmdYes->text(), "&Yes.");
    EXPECT_EQ(dialog.CmdNo->text(), "&No.");
}

TEST_F(ExitDialogTest, countdownStartsWhenShownAndParksAtTheSixthSecond) {
    platform.advance(2000);
    EXPECT_EQ(dialog.Label2->text(), "Autoreset");

    dialog.show();
    platform.advance(1000);
    EXPECT_EQ(dialog.Label2->text(), "Autoreset (5) Sec");
    platform.advance(4000);
    EXPECT_EQ(dialog.Label2->text(), "Autoreset (1) Sec");
    EXPECT_TRUE(decided.isEmpty());
    EXPECT_TRUE(dialog.isEnabled());

    platform.advance(1000);
    EXPECT_EQ(onlyDecision(), ExitChoice::Park);
    EXPECT_EQ(dialog.Label2->text(), "Steppers are turned to 0 and 40");
    EXPECT_FALSE(dialog.isEnabled()) << "no second answer while parking";
    EXPECT_TRUE(dialog.isVisible()) << "the message stays on screen while the steppers turn";
}

TEST_F(ExitDialogTest, buttons_yesParksNoSavesWithoutParking) {
    dialog.show();
    platform.advance(1000);
    QTest::mouseClick(dialog.cmdYes, Qt::LeftButton);
    EXPECT_EQ(onlyDecision(), ExitChoice::Park);
    EXPECT_EQ(dialog.Label2->text(), "Steppers are turned to 0 and 40");

    ExitDialog second(platform, 0, 40);
    QSignalSpy secondDecided(&second, &ExitDialog::decided);
    second.show();
    QTest::mouseClick(second.CmdNo, Qt::LeftButton);
    ASSERT_EQ(secondDecided.count(), 1);
    EXPECT_EQ(secondDecided.first().first().value<ExitChoice>(), ExitChoice::SaveOnly);
    EXPECT_EQ(second.Label2->text(), "");
    platform.advance(10000);
    EXPECT_EQ(decided.count(), 1);
    EXPECT_EQ(secondDecided.count(), 1);
}

TEST_F(ExitDialogTest, closingOrEscBeforeAnAnswer_savesWithoutParking) {
    dialog.show();
    platform.advance(2000);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(onlyDecision(), ExitChoice::SaveOnly);

    ExitDialog closed(platform, 0, 40);
    QSignalSpy closedDecided(&closed, &ExitDialog::decided);
    closed.show();
    closed.close();
    ASSERT_EQ(closedDecided.count(), 1);
    EXPECT_EQ(closedDecided.first().first().value<ExitChoice>(), ExitChoice::SaveOnly);
    platform.advance(10000);
    EXPECT_EQ(closedDecided.count(), 1) << "no park after the window was dismissed";
}
