#include "mainwindow/SplashWindow.h"

#include "mainwindow/ClickableLabel.h"
#include "support/FakePlatform.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using mainwindow::SplashWindow;
using testing_support::FakePlatform;

namespace {

struct SplashWindowTest : ::testing::Test {
    FakePlatform platform;
    SplashWindow splash{platform};
    QSignalSpy addressClicked{&splash, &SplashWindow::addressClicked};

    SplashWindowTest() { splash.show(); }
};

} // namespace

TEST_F(SplashWindowTest, aClickOrAKeyCloses_onlyAClickOnTheAddressReportsIt) {
    QTest::mouseClick(splash.imgLogo, Qt::LeftButton);
    EXPECT_FALSE(splash.isVisible());
    splash.show();
    QTest::keyClick(&splash, Qt::Key_Space);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(addressClicked.count(), 0);

    splash.show();
    QTest::mouseClick(splash.lblURL, Qt::LeftButton);
    EXPECT_EQ(addressClicked.count(), 1);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(SplashWindowTest, closeTimer_closesAfterSixSecondsOnlyWhenStarted) {
    platform.advance(10000);
    EXPECT_TRUE(splash.isVisible()) << "the timer is off as designed";

    splash.startCloseTimer();
    platform.advance(5999);
    EXPECT_TRUE(splash.isVisible());
    platform.advance(1);
    EXPECT_FALSE(splash.isVisible());
}
