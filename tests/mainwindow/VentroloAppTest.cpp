#include "mainwindow/VentroloApp.h"

#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
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
    app.start();
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

TEST_F(VentroloAppTest, sigterm_takesTheExitPathAndSaves) {
    app.start();
    app.state().StepCounter = 42;
    std::raise(SIGTERM);
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(configPath()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(QFile::exists(configPath()));
    QFile file(configPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\r\n42,0,500,250,1\r\n"));
}
