#include "mainwindow/ExitDialog.h"

#include "support/FakePlatform.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using mainwindow::ExitDialog;
using panel::ExitChoice;

// The dialog only shows the exit path's countdown and forwards the answers to it.
TEST(ExitDialog, countsDownWhenShown_forwardsTheAnswersAndEscapeSavesWithoutParking) {
    testing_support::FakePlatform platform;
    panel::ExitCountdown countdown{platform, 0, 40};
    ExitDialog dialog{countdown};
    EXPECT_EQ(dialog.windowTitle(), "Ventrolo.Version 1.24");
    EXPECT_EQ(dialog.Label1->text(), "Reset stepper1 to 0\n\nReset stepper2 to 40");
    platform.advance(2000);
    EXPECT_EQ(dialog.Label2->text(), "Autoreset");
    dialog.show();
    platform.advance(1000);
    EXPECT_EQ(dialog.Label2->text(), "Autoreset (5) Sec");
    QTest::mouseClick(dialog.cmdYes, Qt::LeftButton);
    EXPECT_EQ(countdown.choice(), ExitChoice::Park);
    EXPECT_EQ(dialog.Label2->text(), "Steppers are turned to 0 and 40");
    EXPECT_FALSE(dialog.isEnabled()) << "no second answer while parking";

    panel::ExitCountdown second{platform, 0, 40};
    ExitDialog escaped{second};
    escaped.show();
    QTest::keyClick(&escaped, Qt::Key_Escape);
    EXPECT_EQ(second.choice(), ExitChoice::SaveOnly);
}
