// The station's wiring in the application: the menu's check item, the journal at start.
#include "app/AppFixture.h"
#include "station/JournalRecord.h"
#include "station/StationTestSupport.h"
#include "station/StatusQuery.h"

#include <future>

#include <QRegularExpression>

using station::JournalRecord;
using station_test::Client;

namespace {

struct StationAppTest : ::testing::Test {
    station_test::Dir dir;
    quint16 port = station_test::FreePort();
    testing_support::FakePlatform platform;
    std::unique_ptr<app::VentroloApp> app;

    StationAppTest() {
        platform.processQtEvents = true;
        dir.write("Ventrolo.ini", QString("[rotctld]\nport=%1\n").arg(port).toUtf8());
        // A configuration a minute old, so that the first start makes no defaults.
        core::ProgramState state;
        EXPECT_TRUE(core::ConfigFile(state, platform, dir.path()).SaveConfig());
        dir.write("Ventrolo.cfg", dir.file("Ventrolo.cfg"), 60);
    }
    void start() {
        app.reset(); // one application at a time
        app = std::make_unique<app::VentroloApp>(dir.path(), platform,
                                                 std::make_unique<port::SimulatedLpt>());
        app->start();
    }
    QAction* item() { return app->mainWindow().findChild<QAction*>("mnuRotctld"); }
};

} // namespace

TEST_F(StationAppTest, theMenuItem_startsAndStopsTheServerAndIsRemembered) {
    start();
    EXPECT_FALSE(item()->isChecked());
    item()->trigger();
    EXPECT_TRUE(item()->isChecked());
    EXPECT_EQ(item()->text(), QString("Rotator ser&ver (rotctld :%1)").arg(port));
    EXPECT_TRUE(dir.file("Ventrolo.ini").contains("enabled=true"));

    Client client(port);
    EXPECT_EQ(client.ask("P 90 0\n"), "RPRT 0\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->state().StepCounter == 50; }));
    EXPECT_EQ(app->mainWindow().findChild<QLabel*>("lblTeller")->text(), "50");

    item()->trigger();
    EXPECT_FALSE(item()->isChecked());
    EXPECT_TRUE(dir.file("Ventrolo.ini").contains("enabled=false"));
    EXPECT_TRUE(client.closes());

    // A port in use at the next start is told, and the item stays unchecked.
    dir.removeJournal(); // the run above did not end
    dir.write("Ventrolo.ini", QString("[rotctld]\nenabled=true\nport=%1\n").arg(port).toUtf8());
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress(QHostAddress::LocalHost), port));
    start();
    EXPECT_FALSE(item()->isChecked());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith(
        QString("The rotator server cannot listen on 127.0.0.1 port %1: ").arg(port)));
}

TEST_F(StationAppTest, theWebServerItem_startsAndStopsTheServer_showingTheTokenOffLoopback) {
    const quint16 webPort = station_test::FreePort();
    dir.write("Ventrolo.ini", QString("[web]\nport=%1\n").arg(webPort).toUtf8());
    start();
    QAction* web = app->mainWindow().findChild<QAction*>("mnuWebServer");
    ASSERT_TRUE(web);
    EXPECT_FALSE(web->isChecked());
    web->trigger();
    EXPECT_TRUE(web->isChecked());
    EXPECT_EQ(web->text(), QString("&Web server (:%1)").arg(webPort));
    const QByteArray ini = dir.file("Ventrolo.ini");
    EXPECT_TRUE(ini.contains("enabled=true"));
    const QRegularExpressionMatch token =
        QRegularExpression("token=\\s*([0-9a-f]{32})").match(QString::fromLatin1(ini));
    ASSERT_TRUE(token.hasMatch()) << ini.toStdString();

    Client client(webPort);
    EXPECT_TRUE(client.ask("GET /api/state HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
                    .startsWith("HTTP/1.1 200"));
    web->trigger();
    EXPECT_FALSE(web->isChecked());
    EXPECT_EQ(web->text(), "&Web server");
    EXPECT_TRUE(dir.file("Ventrolo.ini").contains("enabled=false"));
    EXPECT_TRUE(client.closes());

    // Off loopback the caption tells the token the browser must give; it stays the same.
    dir.removeJournal();
    dir.write("Ventrolo.ini", QString("[web]\nenabled=true\nport=%1\naddress=0.0.0.0\ntoken=%2\n")
                                  .arg(webPort)
                                  .arg(token.captured(1))
                                  .toUtf8());
    start();
    EXPECT_TRUE(web = app->mainWindow().findChild<QAction*>("mnuWebServer"));
    EXPECT_TRUE(web->isChecked());
    EXPECT_EQ(web->text(), QString("&Web server (:%1, token %2)").arg(webPort).arg(token.captured(1)));
}

TEST_F(StationAppTest, aTurnCutOff_isToldAtStartAndTheCalibrationRunRocksAroundTheCounter) {
    dir.write("Ventrolo.journal.1", JournalRecord{{{{25, 0, 50}, {0, 0}}}}.Serialize());
    platform.answerNextMessage(platform::Answer::Yes);
    start();
    ASSERT_EQ(platform.messages.size(), 1u);
    std::vector<core::Long> counters;
    QObject::connect(&app->engine(), &engine::Engine::counterChanged,
                     [&](core::Long c) { counters.push_back(c); });
    platform.scheduleAfter(2000, [&] { app->engine().StopTurningAndFollowing(); });
    QCoreApplication::processEvents(); // the run starts from the event loop
    ASSERT_FALSE(counters.empty());
    EXPECT_EQ(*std::max_element(counters.begin(), counters.end()), 35);
    EXPECT_EQ(*std::min_element(counters.begin(), counters.end()), 15);
}

TEST_F(StationAppTest, theDesktopProgramAnswersStatusToo_andNoLongerOnceItHasEnded) {
    start();
    app->state().StepCounter = 42;
    auto query = [this] {
        QString text;
        auto asked = std::async(std::launch::async, [&] {
            return station::QueryStatus(dir.path(), &text, 2000);
        });
        // The station answers from this thread's events while the query waits.
        (void)QTest::qWaitFor(
            [&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            5000);
        return std::pair(asked.get(), text);
    };
    const auto [answered, text] = query();
    EXPECT_EQ(answered, station::StatusAnswered);
    EXPECT_TRUE(text.contains("counter: 42\n")) << text.toStdString();
    app->station().endUnattended();
    EXPECT_EQ(query().first, station::NoStationRuns);
}

TEST_F(StationAppTest, limitsAndStepsPerTurnSetInTheWindow_areSavedAtOnce_soACrashKeepsThem) {
    start();
    auto set = [this](panel::EntryField field, const QString& text, const char* button) {
        app->station().fields().setText(field, text);
        app->mainWindow().findChild<QPushButton*>(button)->click();
    };
    set(panel::EntryField::MaxPosition, "300", "cmdInputMax");
    set(panel::EntryField::MinPosition, "20", "cmdInputMin"); // takes the counter along
    set(panel::EntryField::StepsPer360, "400", "cmdStepperStap");

    // Read as the next start reads it, the program never having ended.
    core::ProgramState next;
    testing_support::FakePlatform quiet;
    ASSERT_EQ(core::ConfigFile(next, quiet, dir.path()).LoadConfig(),
              core::ConfigFile::Loaded::FromFile);
    EXPECT_EQ(next.StoredProfiles[0].MaxPosition, 300);
    EXPECT_EQ(next.StoredProfiles[0].MinPosition, 20);
    EXPECT_EQ(next.StoredProfiles[0].StepCounter, 20);
    EXPECT_EQ(next.StoredProfiles[0].StepsPer360, 400.0f);
}

TEST_F(StationAppTest, limitsThatCannotBeSaved_areToldOnce_andAgainAfterASaveSucceeded) {
    start();
    platform.messages.clear();
    auto setMax = [this](const QString& text) {
        app->station().fields().setText(panel::EntryField::MaxPosition, text);
        app->mainWindow().findChild<QPushButton*>("cmdInputMax")->click();
    };
    auto block = [this] {
        // A link in its place is never written through: every save fails.
        dir.write("elsewhere.cfg", "");
        QFile::remove(dir.filePath("Ventrolo.cfg"));
        ASSERT_TRUE(QFile::link(dir.filePath("elsewhere.cfg"), dir.filePath("Ventrolo.cfg")));
    };
    auto told = [this] {
        return std::count_if(platform.messages.begin(), platform.messages.end(), [](auto& m) {
            return m.text.startsWith("The settings could not be saved to ");
        });
    };
    block();
    setMax("300");
    setMax("310");
    setMax("320");
    EXPECT_EQ(told(), 1);
    EXPECT_EQ(platform.messages.size(), 1u);

    QFile::remove(dir.filePath("Ventrolo.cfg"));
    setMax("330");
    EXPECT_TRUE(dir.file("Ventrolo.cfg").contains(",330,")) << dir.file("Ventrolo.cfg").data();
    block();
    setMax("340");
    EXPECT_EQ(told(), 2);
}
