#include "app/AppFixture.h"

#include <QDir>
#include <QScrollBar>
#include <csignal>
#include <gmock/gmock.h>

using app_test::SecondRun;
using VentroloAppTest = app_test::AppFixture;

TEST_F(VentroloAppTest, firstStart_saysSoCalibratesPowersThePortAndBuildsTheWindowFromTheProfile) {
    lpt->Out32(956, 5);
    lpt->Out32(632, 9);
    firstStart();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "I create/use the default " + dir.filePath("Ventrolo.cfg"));
    EXPECT_FALSE(platform.messages[0].modal) << "the start does not wait for it";
    EXPECT_TRUE(app.mainWindow().isVisible());
    EXPECT_EQ(lpt->data(956), 0); // the defaults clear all three standard ports
    EXPECT_EQ(lpt->data(632), 0);
    EXPECT_EQ(state.PcSpeed, 1000);
    EXPECT_EQ(lpt->data(888), 4); // autopower: stepper 1's driver on, coil code 0
    EXPECT_EQ(form.Text7->text(), "180 °");
    EXPECT_EQ(form.cmdMaxCw->toolTip(), "Clock wise turning to 500.");
    EXPECT_EQ(form.VSlider1->pageStep(), 25); // a twentieth of the range
    const auto* status = app.mainWindow().findChild<QLabel*>("portStatus");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text(), "Lpt = 888 (simulated)");
    QTest::mouseClick(form.cmdPoort, Qt::LeftButton); // the status bar follows the port
    QTest::mouseClick(form.cmdPoort, Qt::LeftButton);
    EXPECT_EQ(status->text(), "Lpt = 956 (simulated)");
}

TEST_F(VentroloAppTest, closingTheWindow_clearsThePortAndWritesAConfigurationThatReopens) {
    firstStart();
    state.StepCounter = 321;
    lpt->Out32(888, 7);
    app.mainWindow().close();
    ASSERT_TRUE(app.exitDialog());
    QTest::mouseClick(app.exitDialog()->CmdNo, Qt::LeftButton);
    EXPECT_FALSE(app.mainWindow().isVisible());
    EXPECT_EQ(lpt->data(888), 0);

    SecondRun second(dir.path());
    EXPECT_TRUE(second.platform.messages.empty());
    EXPECT_EQ(second.app.state().StepCounter, 321);
    EXPECT_EQ(second.app.state().StoredProfiles, state.StoredProfiles);
}

TEST_F(VentroloAppTest, quitFromTheSession_takesTheExitPathThenClosesEveryWindow) {
    firstStart();
    state.StepCounter = 17;
    // The application's quit closes every window first and gives up when one refuses, so a
    // main window that kept refusing would leave the program running for ever.
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
    EXPECT_TRUE(quit.isAccepted());
    EXPECT_FALSE(app.mainWindow().isVisible());
    EXPECT_TRUE(file("Ventrolo.cfg").contains("\r\n17,0,500,250,1\r\n"));
}

TEST_F(VentroloAppTest, sigterm_savesWithoutTheQuestionAndWithoutParking) {
    firstStart();
    state.StepCounter = 42;
    state.StoredProfiles[1].StepCounter = 40;
    std::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return file("Ventrolo.cfg").contains("\r\n42,0,500,250,1\r\n40,0,500,250,1\r\n"); }));
    EXPECT_FALSE(app.exitDialog());
    EXPECT_TRUE(app.ended());
}

TEST_F(VentroloAppTest, exitLeftAlone_parksBothSteppersAtTheSixthTickThenSavesAndEnds) {
    firstStart();
    state.StepCounter = 30;
    state.StoredProfiles[1].StepCounter = 40;
    form.mnuExit->trigger();
    ASSERT_TRUE(app.exitDialog());
    EXPECT_TRUE(app.exitDialog()->isVisible());
    EXPECT_FALSE(app.mainWindow().isVisible());
    platform.advance(5000);
    EXPECT_FALSE(app.ended());
    platform.advance(1000);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(file("Ventrolo.cfg").contains("\r\n0,0,500,250,1\r\n0,0,500,250,1\r\n"));
    EXPECT_EQ(lpt->data(888), 0);
}

TEST_F(VentroloAppTest, stepperMenu_switchesAndTheTitleShowsWhereTheOtherStepperStands) {
    firstStart();
    state.StepCounter = 50;
    form.mnuStepper12->trigger();
    EXPECT_EQ(state.SelectedStepper, 1);
    EXPECT_EQ(state.StepperBits, 8);
    EXPECT_TRUE(form.OptStepper[1]->isChecked());
    EXPECT_EQ(form.mnuStepper12->text(), "Stepper1");
    EXPECT_TRUE(app.mainWindow().windowTitle().endsWith(" Stepper1=(50) 90°"));

    form.OptStepper[0]->click();
    EXPECT_EQ(state.SelectedStepper, 0);
    EXPECT_EQ(state.StepCounter, 50);
    EXPECT_TRUE(app.mainWindow().windowTitle().endsWith(" Stepper2=(0) 0°"));
}

TEST_F(VentroloAppTest, fileMenu_saveBeepsAndWritesDefaultRestoresTheDefaults) {
    firstStart();
    state.StepCounter = 77;
    form.mnuSavecfg->trigger();
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_TRUE(file("Ventrolo.cfg").contains("\r\n77,0,500,250,1\r\n"));

    state.StoredProfiles[0].MaxPosition = 900;
    platform.clockStepPerRead = 1; // the defaults measure the PC speed again
    const QSize standard = app.mainWindow().size();
    app.mainWindow().resize(standard + QSize(120, 90));
    form.mnuDefaultCfg->trigger();
    EXPECT_EQ(app.mainWindow().size(), standard) << "the window is laid out again";
    EXPECT_EQ(platform.messages.back().text,
              "I create/use the default " + dir.filePath("Ventrolo.cfg"));
    EXPECT_EQ(state.MaxPosition, 500);
    EXPECT_EQ(form.Text1->text(), "500");

    // A save that fails says so and does not beep as if it had saved.
    const std::size_t messages = platform.messages.size();
    QFile::remove(dir.filePath("Ventrolo.cfg"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ventrolo.cfg")); // a directory where the file goes
    form.mnuSavecfg->trigger();
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(platform.messages.size(), messages + 1);
}

TEST_F(VentroloAppTest, editMenu_offsetBitsTwiceLeaveTheRegisterAndBothSteppersKeepTheCounter) {
    firstStart();
    const int before = lpt->data(888);
    form.mnuLPT89->trigger();
    EXPECT_TRUE(form.mnuLPT89->isChecked());
    form.mnuLPT89->trigger();
    EXPECT_EQ(lpt->data(888), before);

    state.StepCounter = 33;
    form.mnuTarvex->trigger();
    EXPECT_TRUE(state.BothSteppersPin6);
    EXPECT_TRUE(form.mnuTarvex->isChecked());
    EXPECT_EQ(state.StepperBits, 12);
    EXPECT_EQ(state.StepCounter, 33) << "the position counted since the last store stays";
}

TEST_F(VentroloAppTest, switchMenus_showTheInputsStateAndOpenTheSimulation) {
    firstStart();
    const std::size_t messages = platform.messages.size();
    form.mnuSimulate->trigger();
    EXPECT_FALSE(form.mnuSimulate->isChecked()) << "nothing to simulate without an input mode";
    EXPECT_FALSE(app.inputSimulationWindow());
    ASSERT_EQ(platform.messages.size(), messages + 1) << "the user is told why nothing opened";
    EXPECT_THAT(platform.messages.back().text.toStdString(),
                ::testing::HasSubstr("first tick \"Remote controlled turning\""));

    form.mnuRemoteTurning->trigger();
    EXPECT_TRUE(state.RemoteTurning);
    EXPECT_TRUE(form.mnuRemoteTurning->isChecked());
    form.mnuSimulate->trigger();
    EXPECT_TRUE(form.mnuSimulate->isChecked());
    ASSERT_TRUE(app.inputSimulationWindow());
    EXPECT_TRUE(app.inputSimulationWindow()->isVisible());

    form.mnuEndSwitchesOff->trigger(); // every switch choice closes the simulation
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(app.inputSimulationWindow());
    EXPECT_FALSE(form.mnuSimulate->isChecked());
}

TEST_F(VentroloAppTest, popUpAndInfoMenus_colourOverlayAndTheAboutSplashThatClosesItself) {
    firstStart();
    platform.answerNextColor(0x00FF00);
    form.mnuDegreeColor->trigger();
    EXPECT_EQ(state.PelorusDegreeColor, 0x00FF00);
    EXPECT_EQ(form.lblDegrees->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0));

    form.mnuJoyStick->trigger(); // no joystick on a test machine
    EXPECT_FALSE(form.mnuJoyStick->isChecked());
    EXPECT_EQ(platform.messages.back().text, "This PC has no JoyStick ");

    form.mnuOverlay->trigger();
    EXPECT_TRUE(state.OverlayMenu);
    EXPECT_TRUE(form.overlayPanelsShown());

    platform.answerNextMessage(platform::Answer::Yes);
    form.mnuAbout->trigger();
    ASSERT_TRUE(app.splashWindow());
    EXPECT_TRUE(app.splashWindow()->isVisible());
    platform.advance(mainwindow::SplashWindow::CloseAfterMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(app.splashWindow());
}
