// Values of Ventrolo.ini the program cannot use: each keeps its default, and the user is told
// once after the start which file, key and value, and what is used instead.
#include "app/AppFixture.h"
#include "display/LptOutputWindow.h"

namespace {

// A first run in a directory whose Ventrolo.ini is there before the program starts.
struct UnusedSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    std::optional<app::VentroloApp> app;

    void start(const QByteArray& ini) {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), ini);
        app.emplace(dir.path(), platform, std::make_unique<port::SimulatedLpt>());
        platform.clockStepPerRead = 1; // the first start measures the PC speed
        app->start();
    }
};

} // namespace

TEST_F(UnusedSettingsTest, badValuesInEveryGroup_areToldInOneMessageAfterTheStart) {
    start("[rig]\nlink=radio\nholdWhileTransmitting=maybe\n[rigctld]\nhost=no host\nport=99999\n"
          "[rotctld]\nenabled=yes please\nport=4534\n[stepper2]\nmicrosteps=0\n"
          "[stepper1]\nbandset=40m.cat,../up.cat\n[swrtune]\npower=500\nsteps=ten\nseconds=\n");
    ASSERT_EQ(platform.messages.size(), 2u); // the default configuration made, then this
    const QString text = platform.messages[1].text;
    const QString ini = dir.filePath("Ventrolo.ini");
    for (const QString& line :
         {ini + ": [rig] link=radio cannot be used; serial is used instead.",
          ini + ": [rig] holdWhileTransmitting=maybe cannot be used; true is used instead.",
          ini + ": [rigctld] host=no host cannot be used; localhost is used instead.",
          ini + ": [rigctld] port=99999 cannot be used; 4532 is used instead.",
          ini + ": [rotctld] enabled=yes please cannot be used; false is used instead.",
          ini + ": [stepper2] microsteps=0 cannot be used; 1 is used instead.",
          ini + ": [stepper1] bandset=40m.cat,../up.cat cannot be used; 40m.cat is used "
                "instead.",
          ini + ": [swrtune] power=500 cannot be used; 5 is used instead.",
          ini + ": [swrtune] steps=ten cannot be used; 10 is used instead."})
        EXPECT_TRUE(text.contains(line)) << text.toStdString();
    EXPECT_FALSE(text.contains("port=4534"));
    EXPECT_EQ(app->settingsReport().unused().size(), 9u);
}

TEST_F(UnusedSettingsTest, aFileOfUsableValues_saysNothing) {
    start("[rig]\nlink=Simulated\nholdWhileTransmitting=off\n[rigctld]\nhost=[::1]\nport=4532\n"
          "[rotctld]\nenabled=false\n");
    EXPECT_EQ(platform.messages.size(), 1u); // the default configuration made
    EXPECT_TRUE(app->settingsReport().isEmpty());
}

TEST_F(UnusedSettingsTest, anUnknownLinkIsLeftInTheFileForTheUserToMend) {
    const QByteArray ini = "[rig]\nlink=Radio ; mine\n";
    start(ini);
    EXPECT_TRUE(test_support::ReadFile(dir.filePath("Ventrolo.ini")).startsWith(ini));
}

TEST_F(UnusedSettingsTest, aStepDirDriverInTheFile_isOffAtItsOwnLevelFromTheStartToTheEnd) {
    auto* lpt = new port::SimulatedLpt;
    test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                            "[stepper1]\noutput=stepdir\nmicrosteps=16\n");
    app.emplace(dir.path(), platform, std::unique_ptr<port::SimulatedLpt>(lpt));
    const port::CoilOutput& coil = app->station().portDrive().coil();
    EXPECT_EQ(coil.selectedOutput().output, port::OutputKind::StepDir);
    EXPECT_EQ(coil.selectedOutput().microsteps, 16);
    lpt->traceWrites();
    platform.clockStepPerRead = 1;
    app->start();
    ASSERT_FALSE(lpt->writes().empty());
    EXPECT_EQ(lpt->writes().front().value, coil.IdleValue()) << "the first write: every port off";

    // The output test names the driver's lines.
    app->mainWindow().findChild<QAction*>("mnuLptOutput")->trigger();
    auto* output = app_test::Shown<display::LptOutputWindow>();
    ASSERT_TRUE(output);
    EXPECT_EQ(output->Check[0]->text(), "Pin2. STEP 1");
    EXPECT_EQ(output->Check[1]->text(), "Pin 3. DIR 1");
    EXPECT_EQ(output->Check[2]->toolTip(), "D2 ENABLE 1");
    EXPECT_EQ(output->Check[3]->text(), "Pin 5.");
    output->close();
    app->mainWindow().findChild<QAction*>("mnuExit")->trigger(); // at 0: no park question
    ASSERT_TRUE(app->ended());
    EXPECT_EQ(lpt->data(888), coil.IdleValue()) << "ENABLE high at the end";
}
