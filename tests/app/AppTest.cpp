#include "app/VentroloApp.h"
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/SelectionSlider.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using testing_support::FakePlatform;

namespace {

// The PC-speed calibration of a first start counts clock reads for a second.
FakePlatform CalibratingPlatform() {
    FakePlatform platform;
    platform.clockStepPerRead = 1;
    return platform;
}

struct VentroloAppTest : ::testing::Test {
    QTemporaryDir dir;
    FakePlatform platform = CalibratingPlatform();
    port::SimulatedLpt* lpt = new port::SimulatedLpt;
    app::VentroloApp app{dir.path(), platform, std::unique_ptr<port::SimulatedLpt>(lpt)};

    QString configPath() const { return dir.path() + "/Ventrolo.cfg"; }
    QByteArray configFile() const {
        QFile file(configPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    mainwindow::MainWindowForm& form() { return app.mainWindow().form(); }
};

} // namespace

TEST_F(VentroloAppTest, firstStartOnAnEmptyDirectory_showsTheDefaultsMessageThenTheWindow) {
    app.start();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "I create/use the default " + configPath());
    EXPECT_TRUE(app.mainWindow().isVisible());
    EXPECT_EQ(app.mainWindow().windowTitle(),
              "Ventrolo. Version 1.24 (998) 5-December-2026 Stepper2=(0) 0°");
}

TEST_F(VentroloAppTest, firstStart_calibratesThePcSpeedAndPowersTheSimulatedPort) {
    lpt->Out32(956, 5);
    lpt->Out32(632, 9);
    app.start();
    EXPECT_EQ(lpt->data(956), 0); // the defaults clear all three standard ports
    EXPECT_EQ(lpt->data(632), 0);
    EXPECT_EQ(app.state().PcSpeed, 1000);
    EXPECT_EQ(lpt->data(888), 4); // autopower: stepper 1's driver on, coil code 0
    const auto* status = app.mainWindow().findChild<QLabel*>("portStatus");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text(), "Lpt = 888 (simulated)");
    QTest::mouseClick(form().cmdPoort, Qt::LeftButton); // the status bar follows the port
    EXPECT_EQ(status->text(), "Lpt = 888 (simulated)");
    QTest::mouseClick(form().cmdPoort, Qt::LeftButton);
    EXPECT_EQ(status->text(), "Lpt = 956 (simulated)");
}

TEST_F(VentroloAppTest, closingTheWindow_clearsThePortAndWritesAConfigurationThatReopens) {
    app.start();
    app.state().StepCounter = 321;
    lpt->Out32(888, 7);
    app.mainWindow().close();
    ASSERT_TRUE(app.exitDialog());
    QTest::mouseClick(app.exitDialog()->CmdNo, Qt::LeftButton);
    EXPECT_FALSE(app.mainWindow().isVisible());
    EXPECT_EQ(lpt->data(888), 0);
    ASSERT_TRUE(QFile::exists(configPath()));

    FakePlatform secondPlatform;
    app::VentroloApp second(dir.path(), secondPlatform, std::make_unique<port::SimulatedLpt>());
    second.start();
    EXPECT_TRUE(secondPlatform.messages.empty());
    EXPECT_EQ(second.state().StepCounter, 321);
    EXPECT_EQ(second.state().StoredProfiles, app.state().StoredProfiles);
}

TEST_F(VentroloAppTest, quitFromTheSession_takesTheExitPathThenClosesEveryWindow) {
    app.start();
    app.state().StepCounter = 17;
    // The application's quit closes every window first and gives up when one refuses, so a
    // main window that kept refusing would leave the program running for ever.
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
    EXPECT_TRUE(quit.isAccepted());
    EXPECT_FALSE(app.mainWindow().isVisible());
    QFile file(configPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\r\n17,0,500,250,1\r\n"));
}

TEST_F(VentroloAppTest, sigterm_savesWithoutTheQuestionAndWithoutParking) {
    app.start();
    app.state().StepCounter = 42;
    app.state().StoredProfiles[1].StepCounter = 40;
    std::raise(SIGTERM);
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(configPath()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(QFile::exists(configPath()));
    QFile file(configPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(saved.contains("\r\n42,0,500,250,1\r\n40,0,500,250,1\r\n"));
    EXPECT_FALSE(app.exitDialog());
    EXPECT_TRUE(app.ended());
}

TEST_F(VentroloAppTest, startUp_buildsTheWindowFromTheProfile) {
    app.start();
    EXPECT_EQ(form().Text7->text(), "180 °");
    EXPECT_EQ(form().mnuCalibraStaps->text(), "&Calibratie Stappen (10)");
    EXPECT_EQ(form().cmdMaxCw->toolTip(), "Clock wise turning to 500.");
    EXPECT_EQ(form().lblPulsShuttle->text(), " 27°");
    EXPECT_EQ(form().lblTeller->text(), "0");
    EXPECT_EQ(form().VSlider1->pageStep(), 25); // a twentieth of the range
    EXPECT_TRUE(form().OptStepper[0]->isChecked());
    EXPECT_EQ(form().mnuStepper12->text(), "Stepper2");
}

TEST_F(VentroloAppTest, exitLeftAlone_parksBothSteppersAtTheSixthTickThenSavesAndEnds) {
    app.start();
    platform.clockStepPerRead = 0;
    app.state().StepCounter = 30;
    app.state().StoredProfiles[1].StepCounter = 40;
    form().mnuExit->trigger();
    ASSERT_TRUE(app.exitDialog());
    EXPECT_TRUE(app.exitDialog()->isVisible());
    EXPECT_FALSE(app.mainWindow().isVisible());
    platform.advance(5000);
    EXPECT_EQ(app.exitDialog()->Label2->text(), "Autoreset (1) Sec");
    platform.advance(1000);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(configFile().contains("\r\n0,0,500,250,1\r\n0,0,500,250,1\r\n"));
    EXPECT_EQ(lpt->data(888), 0);
}

TEST_F(VentroloAppTest, stepperMenu_switchesAndTheTitleShowsWhereTheOtherStepperStands) {
    app.start();
    app.state().StepCounter = 50;
    form().mnuStepper12->trigger();
    EXPECT_EQ(app.state().SelectedStepper, 1);
    EXPECT_EQ(app.state().StepperBits, 8);
    EXPECT_TRUE(form().OptStepper[1]->isChecked());
    EXPECT_EQ(form().mnuStepper12->text(), "Stepper1");
    EXPECT_TRUE(app.mainWindow().windowTitle().endsWith(" Stepper1=(50) 90°"));

    form().OptStepper[0]->click();
    EXPECT_EQ(app.state().SelectedStepper, 0);
    EXPECT_EQ(app.state().StepCounter, 50);
    EXPECT_TRUE(app.mainWindow().windowTitle().endsWith(" Stepper2=(0) 0°"));
}

TEST_F(VentroloAppTest, fileMenu_saveBeepsAndWritesDefaultRestoresTheDefaults) {
    app.start();
    app.state().StepCounter = 77;
    form().mnuSavecfg->trigger();
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_TRUE(configFile().contains("\r\n77,0,500,250,1\r\n"));

    app.state().StoredProfiles[0].MaxPosition = 900;
    form().mnuDefaultCfg->trigger();
    EXPECT_EQ(platform.messages.back().text, "I create/use the default " + configPath());
    EXPECT_EQ(app.state().MaxPosition, 500);
    EXPECT_EQ(form().Text1->text(), "500");

    // A save that fails says so and does not beep as if it had saved.
    const std::size_t messages = platform.messages.size();
    QFile::remove(configPath());
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ventrolo.cfg")); // a directory where the file goes
    form().mnuSavecfg->trigger();
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(platform.messages.size(), messages + 1);
}

TEST_F(VentroloAppTest, editMenu_offsetBitsTwiceLeaveTheRegisterAndBothSteppersKeepTheCounter) {
    app.start();
    const int before = lpt->data(888);
    form().mnuLPT89->trigger();
    EXPECT_TRUE(form().mnuLPT89->isChecked());
    form().mnuLPT89->trigger();
    EXPECT_EQ(lpt->data(888), before);

    app.state().StepCounter = 33;
    form().mnuTarvex->trigger();
    EXPECT_TRUE(app.state().BothSteppersPin6);
    EXPECT_TRUE(form().mnuTarvex->isChecked());
    EXPECT_EQ(app.state().StepperBits, 12);
    EXPECT_EQ(app.state().StepCounter, 33) << "the position counted since the last store stays";
}

TEST_F(VentroloAppTest, switchMenus_showTheInputsStateAndOpenTheSimulation) {
    app.start();
    form().mnuSimulate->trigger();
    EXPECT_FALSE(form().mnuSimulate->isChecked()) << "nothing to simulate without an input mode";
    EXPECT_FALSE(app.inputSimulationWindow());

    form().mnuRemoteTurning->trigger();
    EXPECT_TRUE(app.state().RemoteTurning);
    EXPECT_TRUE(form().mnuRemoteTurning->isChecked());
    form().mnuSimulate->trigger();
    EXPECT_TRUE(form().mnuSimulate->isChecked());
    ASSERT_TRUE(app.inputSimulationWindow());
    EXPECT_TRUE(app.inputSimulationWindow()->isVisible());

    form().mnuEndSwitchesOff->trigger(); // every switch choice closes the simulation
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(app.inputSimulationWindow());
    EXPECT_FALSE(form().mnuSimulate->isChecked());
}

TEST_F(VentroloAppTest, popUpAndInfoMenus_colourOverlayAndAbout) {
    app.start();
    platform.answerNextColor(0x00FF00);
    form().mnuDegreeColor->trigger();
    EXPECT_EQ(app.state().PelorusDegreeColor, 0x00FF00);
    EXPECT_EQ(form().lblDegrees->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0));

    form().mnuJoyStick->trigger(); // no joystick on a test machine
    EXPECT_FALSE(form().mnuJoyStick->isChecked());
    EXPECT_EQ(platform.messages.back().text, "This PC has no JoyStick ");
    EXPECT_EQ(form().Frame10->title(), "Status");

    form().mnuOverlay->trigger();
    EXPECT_TRUE(app.state().OverlayMenu);
    EXPECT_TRUE(form().overlayPanelsShown());

    platform.answerNextMessage(platform::Answer::Yes);
    form().mnuAbout->trigger();
    EXPECT_EQ(platform.messages.back().title, "Ventrolo.Version 1.24 (Build 998).");
    ASSERT_TRUE(app.splashWindow());
    EXPECT_TRUE(app.splashWindow()->isVisible());
    platform.advance(mainwindow::SplashWindow::CloseAfterMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(app.splashWindow());
}
