// The station without windows, on the virtual clock: what the stored profile shows runs alone.
#include "headless/HeadlessStation.h"

#include "headless/HeadlessSettings.h"
#include "port/SimulatedLpt.h"
#include "station/StatusSocket.h"
#include "support/FakePlatform.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"

#include <QTcpServer>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using testing_support::FakePlatform;

struct HeadlessStationTest : ::testing::Test {
    QTemporaryDir dir;
    FakePlatform platform;
    std::unique_ptr<station::Station> station;
    std::unique_ptr<headless::HeadlessStation> face;
    int endings = 0;

    // A configuration whose stepper 1 shows the table or the timer window, the simulated rig
    // as the link and a table of 7000 kHz at step 100 to 7200 kHz at step 300.
    void SetUp() override {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=simulated\n");
        test_support::WriteFile(dir.filePath("Table.cat"),
                                "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                                "7000,100,\"\"\r\n7200,300,\"\"\r\n");
    }
    void saveProfile(bool table, bool timer, core::Long customDelayMs = 2) {
        core::ProgramState state;
        state.PcSpeed = 1000;
        state.StoredProfiles[0].CustomDelayMs = customDelayMs;
        state.StoredProfiles[0].SlowestDelayMs =
            std::max(state.StoredProfiles[0].SlowestDelayMs, customDelayMs);
        state.StoredProfiles[0].TableWindowShown = table;
        state.StoredProfiles[0].TimerWindowShown = timer;
        state.StoredProfiles[0].MainShown = false;
        ASSERT_TRUE(core::ConfigFile(state, platform, dir.path()).SaveConfig());
    }
    bool start() {
        face.reset();
        station = std::make_unique<station::Station>(dir.path(), platform,
                                                     std::make_unique<port::SimulatedLpt>());
        face = std::make_unique<headless::HeadlessStation>(*station);
        QObject::connect(face.get(), &headless::HeadlessStation::ended, [this] { ++endings; });
        return face->start();
    }
    core::ProgramState& state() { return station->state(); }
};

} // namespace

TEST_F(HeadlessStationTest, aShownTableFollowsTheDialWhereItIs_withoutRetuningTheRig) {
    saveProfile(true, false);
    ASSERT_TRUE(start());
    ASSERT_TRUE(station->following());
    ASSERT_TRUE(station->tuning().port().portOpen());
    rig::RigEmulator& rig = station->simulatedRig().rig();
    rig.setFrequency(7100);
    platform.advance(5000);
    EXPECT_EQ(state().StepCounter, 200);
    EXPECT_DOUBLE_EQ(rig.frequency(), 7100); // no start-up row was sent
    rig.setFrequency(7150);
    platform.advance(5000);
    EXPECT_EQ(state().StepCounter, 250);
    EXPECT_TRUE(platform.messages.empty()) << platform.messages.front().text.toStdString();
}

TEST_F(HeadlessStationTest, aProfileWithoutTheTableWindow_saysWhyTheStepperDoesNotFollow) {
    saveProfile(false, false);
    test_support::LogCapture log;
    ASSERT_TRUE(start());
    EXPECT_FALSE(station->following());
    const QStringList lines = log.of("ventrolo.headless");
    EXPECT_TRUE(lines.contains("the stepper does not follow the rig: its table window was closed "
                               "when the settings were saved (close the desktop program with the "
                               "table window open to follow)"))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("the rig link is open: no turning while the rig transmits"));
}

TEST_F(HeadlessStationTest, theStatusTellsASlowTurnAsTurning_fromItsFirstStepToItsLast) {
    saveProfile(true, false, 1200);
    ASSERT_TRUE(start());
    station->simulatedRig().rig().setFrequency(7100);
    platform.advance(8000);
    ASSERT_GT(state().StepCounter, 0);
    ASSERT_LT(state().StepCounter, 200);
    const QString during = station::StatusText(station->status());
    EXPECT_TRUE(during.contains("turning: yes\n")) << during.toStdString();
    EXPECT_TRUE(during.contains("target: 200\n")) << during.toStdString();
    platform.advance(250000);
    ASSERT_EQ(state().StepCounter, 200);
    const QString after = station::StatusText(station->status());
    EXPECT_TRUE(after.contains("turning: no\n")) << after.toStdString();
    EXPECT_TRUE(after.contains("target: none\n")) << after.toStdString();
}

TEST_F(HeadlessStationTest, theUnattendedEndClosesTheLinkSavesTheTableStateAndTellsTheEnd) {
    saveProfile(true, false);
    ASSERT_TRUE(start());
    station->simulatedRig().rig().setFrequency(7200);
    platform.advance(5000);
    ASSERT_EQ(state().StepCounter, 300);
    station->endUnattended();
    EXPECT_EQ(endings, 1);
    EXPECT_TRUE(station->ended());
    EXPECT_FALSE(station->simulatedRig().isOpen());
    // The next start follows again, from where the stepper stands.
    ASSERT_TRUE(start());
    EXPECT_EQ(state().StepCounter, 300);
    EXPECT_TRUE(station->following());
}

TEST_F(HeadlessStationTest, aShownTimerTableRuns_aHiddenOneAndNoTableDoNothing) {
    saveProfile(false, true);
    ASSERT_TRUE(start());
    EXPECT_FALSE(station->following());
    ASSERT_TRUE(station->timer());
    EXPECT_TRUE(station->timer()->timerEnabled());
    station->endUnattended();
    EXPECT_FALSE(station->timer()->timerEnabled());

    saveProfile(false, false);
    ASSERT_TRUE(start());
    EXPECT_FALSE(station->following());
    EXPECT_FALSE(station->timer());
}

TEST_F(HeadlessStationTest,
       theRigLinkOpensWhateverTheProfileShows_soATimerRecordWaitsUnderTransmit) {
    const QString at = platform.now().addSecs(3).toString(QStringLiteral("hh:mm:ss"));
    test_support::WriteFile(dir.filePath("Timer1.tbl"), "\"" + at.toLatin1() + "\",60,0\r\n");
    saveProfile(false, true);
    ASSERT_TRUE(start());
    ASSERT_TRUE(station->tuning().port().portOpen());
    EXPECT_FALSE(station->following());
    rig::RigEmulator& rig = station->simulatedRig().rig();
    rig.setTransmit(true);
    rig.setFrequency(7100); // not followed: no table is shown
    platform.advance(75000);
    EXPECT_EQ(state().StepCounter, 0);
    EXPECT_TRUE(station::StatusText(station->status()).contains("hold: the rig transmits\n"));
    station->endUnattended();
    EXPECT_FALSE(station->simulatedRig().isOpen());

    // Nor does a profile without any table window go without the link.
    saveProfile(false, false);
    ASSERT_TRUE(start());
    EXPECT_TRUE(station->tuning().port().portOpen());
    EXPECT_FALSE(station->following());
}

TEST_F(HeadlessStationTest, theEndParksBothSteppersOnlyWhenTheSettingsSaySo) {
    saveProfile(false, false);
    ASSERT_TRUE(start());
    state().StepCounter = 120;
    station->endUnattended(); // park=false, the default
    EXPECT_EQ(state().StoredProfiles[0].StepCounter, 120);

    ASSERT_TRUE(start());
    ASSERT_EQ(state().StepCounter, 120);
    station->setParkAtUnattendedEnd(true);
    station->endUnattended();
    EXPECT_EQ(state().StoredProfiles[0].StepCounter, 0);
    EXPECT_TRUE(station->ended());
    EXPECT_TRUE(test_support::ReadFile(dir.filePath("Ventrolo.cfg")).contains("\r\n0,0,"));
}

TEST_F(HeadlessStationTest, theParkAtTheEnd_hearsTheRigOverTheLinkKeptOpen_andWaitsForReceive) {
    saveProfile(true, false);
    ASSERT_TRUE(start());
    rig::RigEmulator& rig = station->simulatedRig().rig();
    rig.setFrequency(7200);
    platform.advance(5000);
    ASSERT_EQ(state().StepCounter, 300);
    rig.setTransmit(true);
    platform.advance(3000);
    station->setParkAtUnattendedEnd(true);
    const double receiveAt = platform.steadyMs() + 4000;
    platform.scheduleAt(receiveAt, [&] { rig.setTransmit(false); });
    auto& lpt = static_cast<port::SimulatedLpt&>(station->lpt());
    lpt.traceWrites([this] { return platform.steadyMs(); });
    station->endUnattended();
    EXPECT_TRUE(station->ended());
    EXPECT_EQ(state().StoredProfiles[0].StepCounter, 0);
    ASSERT_FALSE(lpt.writes().empty());
    for (const auto& write : lpt.writes()) // not one step before the rig received
        EXPECT_GE(write.atMs, receiveAt) << int(write.value);
    EXPECT_FALSE(station->simulatedRig().isOpen()); // closed at the end
}

TEST_F(HeadlessStationTest, anEnabledWebServerRuns_itsStartLineTellingWhereTheTokenIs) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress(QHostAddress::LocalHost), 0));
    const quint16 port = probe.serverPort();
    probe.close();
    test_support::WriteFile(
        dir.filePath("Ventrolo.ini"),
        QString("[web]\nenabled=true\nport=%1\naddress=0.0.0.0\n").arg(port).toUtf8());
    saveProfile(false, false);
    test_support::LogCapture log;
    const bool started = start();
    const QStringList lines = log.of("ventrolo.headless");
    ASSERT_TRUE(started);
    ASSERT_TRUE(station->web().listening());
    EXPECT_TRUE(station->web().tokenRequired());
    const QString token = station->web().token();
    EXPECT_EQ(token.size(), 32);
    EXPECT_TRUE(test_support::ReadFile(dir.filePath("Ventrolo.ini")).contains(token.toLatin1()));
    EXPECT_TRUE(lines.contains(QString("web server on http://0.0.0.0:%1/; its token is [web] "
                                       "token= in %2")
                                   .arg(port)
                                   .arg(dir.filePath("Ventrolo.ini"))))
        << lines.join('\n').toStdString();
    // The log, read by more people than the settings, never holds the token itself.
    EXPECT_FALSE(lines.join('\n').contains(token));
}

TEST(HeadlessSettings, parkIsOffUnlessSwitchedOn_anUnusableValueIsToldAndOff) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Ventrolo.ini");
    core::SettingsReport report;
    EXPECT_FALSE(headless::ReadHeadlessSettings(ini, &report).park);
    test_support::WriteFile(ini, "[headless]\npark=true\n");
    EXPECT_TRUE(headless::ReadHeadlessSettings(ini, &report).park);
    EXPECT_TRUE(report.isEmpty());
    test_support::WriteFile(ini, "[headless]\npark=perhaps\n");
    EXPECT_FALSE(headless::ReadHeadlessSettings(ini, &report).park);
    EXPECT_TRUE(report.text().contains("park=perhaps")) << report.text().toStdString();
}

namespace {

std::pair<quint16, quint16> TwoFreeTcpPorts() {
    QTcpServer one;
    QTcpServer two;
    one.listen(QHostAddress(QHostAddress::LocalHost), 0);
    two.listen(QHostAddress(QHostAddress::LocalHost), 0);
    return {one.serverPort(), two.serverPort()};
}

struct ServingStationTest : HeadlessStationTest {
    // The rotator and web servers on, a profile that shows no window, and the simulated rig,
    // whose link opens without a word.
    void serve(quint16 rotctld, quint16 web) {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                                QString("[rotctld]\nenabled=true\nport=%1\n[web]\nenabled=true\n"
                                        "port=%2\n[rig]\nlink=simulated\n")
                                    .arg(rotctld)
                                    .arg(web)
                                    .toUtf8());
        saveProfile(false, false);
    }
};

} // namespace

TEST_F(ServingStationTest, theServersAnswerWhileTheCrashQuestionWaits) {
    const auto [rotctld, web] = TwoFreeTcpPorts();
    serve(rotctld, web);
    // A turn cut off by a kill: the start asks about the calibration run.
    test_support::WriteFile(dir.filePath("Ventrolo.journal.1"),
                            station::JournalRecord{{{{40, 0, 90}, {0, 0}}}, 5}.Serialize());
    bool served = false;
    platform.whileNextDialogOpen([&] {
        served = station->rotator().listening() && station->web().listening() &&
                 !station::StationAnswering(dir.path()).isEmpty();
    });
    platform.answerNextMessage(platform::Answer::No);
    ASSERT_TRUE(start());
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_TRUE(platform.messages[0].text.contains("Stepper 1 was turning from 40 to 90"));
    EXPECT_TRUE(served) << "the question waits for a person, the station does not";
}

TEST_F(ServingStationTest, takenPortsAreTriedAgainUntilFree_andTheStationSaysWhenItServes) {
    QTcpServer rotctldTaker;
    QTcpServer webTaker;
    ASSERT_TRUE(rotctldTaker.listen(QHostAddress(QHostAddress::LocalHost), 0));
    ASSERT_TRUE(webTaker.listen(QHostAddress(QHostAddress::LocalHost), 0));
    const quint16 rotctld = rotctldTaker.serverPort();
    const quint16 web = webTaker.serverPort();
    serve(rotctld, web);
    test_support::LogCapture log;
    ASSERT_TRUE(start());
    EXPECT_FALSE(station->rotator().listening());
    EXPECT_FALSE(station->web().listening());
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[0].text.startsWith(
        QString("The rotator server cannot listen on 127.0.0.1 port %1: ").arg(rotctld)));
    EXPECT_TRUE(platform.messages[0].text.endsWith(" It tries again until the port is free."));
    EXPECT_TRUE(platform.messages[1].text.startsWith(
        QString("The web server cannot listen on 127.0.0.1 port %1: ").arg(web)));

    // Still taken a minute on: tried ever less often, and the log is not filled.
    platform.advance(60000);
    EXPECT_FALSE(station->rotator().listening());
    EXPECT_EQ(log.with(QString("port %1").arg(rotctld)).size(), 1) << log.text().toStdString();
    EXPECT_EQ(platform.messages.size(), 2u);

    rotctldTaker.close();
    webTaker.close();
    platform.advance(station::ListenRetry::LongestRetryMs);
    EXPECT_TRUE(station->rotator().listening());
    EXPECT_TRUE(station->web().listening());
    ASSERT_EQ(platform.messages.size(), 4u);
    EXPECT_FALSE(platform.messages[2].modal);
    EXPECT_EQ(platform.messages[2].text,
              QString("The rotator server now listens on 127.0.0.1 port %1.").arg(rotctld));
    EXPECT_EQ(log.with(QString("web server on http://127.0.0.1:%1/").arg(web)).size(), 1);

    // Switched off while it waits, it tries no more.
    station->setRotatorServer(false);
    ASSERT_TRUE(rotctldTaker.listen(QHostAddress(QHostAddress::LocalHost), rotctld));
    station->setRotatorServer(true);
    EXPECT_FALSE(station->rotator().listening());
    station->setRotatorServer(false);
    rotctldTaker.close();
    platform.advance(station::ListenRetry::LongestRetryMs);
    EXPECT_FALSE(station->rotator().listening());
}
