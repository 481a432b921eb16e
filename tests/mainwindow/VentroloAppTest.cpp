#include "mainwindow/VentroloApp.h"

#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/ExitDialog.h"
#include "mainwindow/InputSimulationWindow.h"
#include "mainwindow/SplashWindow.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
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
    mainwindow::VentroloApp app{dir.path(), platform, std::unique_ptr<port::SimulatedLpt>(lpt)};

    QString configPath() const { return dir.path() + "/Ventrolo.cfg"; }
    QByteArray configFile() const {
        QFile file(configPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    mainwindow::MainWindowForm& form() { return app.mainWindow().form(); }
    QString field(engine::EntryField which) { return app.mainWindow().fieldText(which); }

    // Started, stepper 1 at 30 and stepper 2 stored at 40, both above their lower limits 0.
    void startAwayFromTheLimits() {
        app.start();
        platform.clockStepPerRead = 0;
        app.state().StepCounter = 30;
        app.state().StoredProfiles[1].StepCounter = 40;
    }
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
    EXPECT_EQ(app.engine().speed().texts().speedLabel, "Stepspeed  .015 Sec");
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
    mainwindow::VentroloApp second(dir.path(), secondPlatform,
                                   std::make_unique<port::SimulatedLpt>());
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
    using engine::EntryField;
    EXPECT_EQ(field(EntryField::Text1), "500");
    EXPECT_EQ(field(EntryField::Text2), "0");
    EXPECT_EQ(field(EntryField::Text3), "100");
    EXPECT_EQ(field(EntryField::Text4), "200");
    EXPECT_TRUE(field(EntryField::Text7).startsWith("180"))
        << field(EntryField::Text7).toStdString();
    EXPECT_EQ(field(EntryField::Text8), "0");
    EXPECT_EQ(field(EntryField::Text9), "50");
    EXPECT_EQ(field(EntryField::Text10), "15");
    EXPECT_TRUE(field(EntryField::Text11).startsWith("4"));
    EXPECT_EQ(field(EntryField::Text12), "10");
    EXPECT_EQ(form().mnuCalibraStaps->text(), "&Calibratie Stappen (10)");
    EXPECT_EQ(form().cmdMaxCw->toolTip(), "Clock wise turning to 500.");
    EXPECT_EQ(form().cmdMinCcw->toolTip(), "Counter clock wise turning to 0.");
    EXPECT_EQ(form().lblPulsShuttle->text(), " 27°");
    EXPECT_EQ(form().lblPcspeed->text(), "PCspeed=1000");
    EXPECT_TRUE(form().OptStepper[0]->isChecked());
    EXPECT_EQ(form().mnuStepper12->text(), "Stepper2");
    EXPECT_FALSE(form().mnuOverlay->isChecked());
    EXPECT_EQ(app.state().LptStatusAddress, 889);
    EXPECT_TRUE(app.state().StepActivity);
}

TEST_F(VentroloAppTest, exitLeftAlone_parksBothSteppersAtTheSixthTickThenSavesAndEnds) {
    startAwayFromTheLimits();
    form().mnuExit->trigger();
    ASSERT_TRUE(app.exitDialog());
    EXPECT_TRUE(app.exitDialog()->isVisible());
    EXPECT_FALSE(app.mainWindow().isVisible());
    lpt->traceWrites();

    platform.advance(5000);
    EXPECT_FALSE(app.ended());
    EXPECT_EQ(app.exitDialog()->Label2->text(), "Autoreset (1) Sec");
    platform.advance(1000);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(configFile().contains("\r\n0,0,500,250,1\r\n0,0,500,250,1\r\n"));
    const auto values = lpt->valuesWritten(888);
    EXPECT_EQ(std::count_if(values.begin(), values.end(), [](int v) { return v & 4; }), 30 + 1);
    EXPECT_EQ(std::count_if(values.begin(), values.end(), [](int v) { return v & 8; }), 40 + 1);
    EXPECT_EQ(lpt->data(888), 0);
}

TEST_F(VentroloAppTest, exitAnsweredNo_savesBothPositionsWithoutTurning) {
    startAwayFromTheLimits();
    app.state().StepCounter = 0; // stepper 1 at its limit, stepper 2 above it
    form().mnuExit->trigger();
    ASSERT_TRUE(app.exitDialog());
    lpt->traceWrites();
    QTest::mouseClick(app.exitDialog()->CmdNo, Qt::LeftButton);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(configFile().contains("\r\n0,0,500,250,1\r\n40,0,500,250,1\r\n"));
    EXPECT_EQ(lpt->valuesWritten(888), std::vector<std::uint8_t>{0});
    platform.advance(10000);
    EXPECT_TRUE(configFile().contains("\r\n40,0,500,250,1\r\n")) << "no park after the answer";
}

TEST_F(VentroloAppTest, exitWithBothSteppersAtTheirLimits_endsWithoutTheQuestion) {
    app.start();
    app.mainWindow().close();
    EXPECT_FALSE(app.exitDialog());
    EXPECT_TRUE(app.ended());
    EXPECT_FALSE(app.mainWindow().isVisible());
    EXPECT_TRUE(QFile::exists(configPath()));
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

    app.mainWindow().onStepperOptionClicked(0);
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
    EXPECT_EQ(field(engine::EntryField::Text1), "500");
}

TEST_F(VentroloAppTest, editMenu_offsetBitsTwiceLeaveTheRegisterAndBothSteppersKeepTheCounter) {
    app.start();
    const int before = lpt->data(888);
    form().mnuLPT89->trigger();
    EXPECT_EQ(lpt->data(888), before | 192);
    EXPECT_TRUE(form().mnuLPT89->isChecked());
    form().mnuLPT89->trigger();
    EXPECT_EQ(lpt->data(888), before);
    EXPECT_FALSE(form().mnuLPT89->isChecked());

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
    platform.answerNextColor(std::nullopt);
    form().mnuDegreeColor->trigger();
    EXPECT_EQ(app.state().PelorusDegreeColor, 0x00FF00) << "Cancel changes nothing";

    form().mnuJoyStick->trigger(); // no joystick on a test machine
    EXPECT_FALSE(form().mnuJoyStick->isChecked());
    EXPECT_EQ(platform.messages.back().text, "This PC has no JoyStick ");
    EXPECT_EQ(form().Frame10->title(), "Status");

    form().mnuOverlay->trigger();
    EXPECT_TRUE(app.state().OverlayMenu);
    EXPECT_TRUE(form().overlayPanelsShown());

    platform.answerNextMessage(platform::Answer::No);
    form().mnuAbout->trigger();
    EXPECT_EQ(platform.messages.back().title, "Ventrolo.Version 1.24 (Build 998).");
    EXPECT_TRUE(platform.messages.back().text.endsWith("Show splash screen ?"));
    EXPECT_FALSE(app.splashWindow());
    platform.answerNextMessage(platform::Answer::Yes);
    form().mnuAbout->trigger();
    ASSERT_TRUE(app.splashWindow());
    EXPECT_TRUE(app.splashWindow()->isVisible());
    platform.advance(mainwindow::SplashWindow::CloseAfterMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(app.splashWindow());
}
