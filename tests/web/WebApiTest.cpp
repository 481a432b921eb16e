// Every endpoint of the JSON API through real HTTP against a station on the virtual clock.
#include "WebTestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>

namespace {

using web_test::Answer;
using web_test::Http;

struct WebApiTest : web_test::StationFixture {};

TEST_F(WebApiTest, state_tellsWhatTheMainWindowShows) {
    Http http(port());
    const auto answer = http.ask("GET", "/api/state");
    ASSERT_EQ(answer.status, 200);
    const QJsonObject& s = answer.json;
    EXPECT_TRUE(s["ok"].toBool());
    EXPECT_EQ(s["counter"].toInt(), 0);
    EXPECT_DOUBLE_EQ(s["degrees"].toDouble(), 0);
    EXPECT_TRUE(s["target"].isNull());
    EXPECT_FALSE(s["turning"].toBool());
    EXPECT_EQ(s["stepper"].toInt(), 1);
    EXPECT_FALSE(s["rig"].toObject()["open"].toBool());
    EXPECT_TRUE(s["rig"].toObject()["frequencyHz"].isNull());
    EXPECT_FALSE(s["following"].toBool());
    EXPECT_FALSE(s["transmitHold"].toBool());
    EXPECT_TRUE(s["transmitHoldReason"].isNull());
    EXPECT_EQ(s["speed"].toString(), "fast"); // the custom delay is the fastest
    EXPECT_TRUE(s["nextTimerTurn"].isNull());

    // Without steps per 360 there are no degrees.
    state().StepsPer360 = 0;
    EXPECT_TRUE(http.ask("GET", "/api/state").json["degrees"].isNull());
}

TEST_F(WebApiTest, turnsToStepsOrDegrees_stepsAndStops) {
    Http http(port());
    EXPECT_EQ(http.post("/api/turn", R"({"steps":120})").status, 200);
    EXPECT_TRUE(settlesAt(120));
    EXPECT_EQ(http.post("/api/turn", R"({"degrees":90})").status, 200); // 200 steps per 360
    EXPECT_TRUE(settlesAt(50));
    EXPECT_DOUBLE_EQ(http.ask("GET", "/api/state").json["degrees"].toDouble(), 90);
    EXPECT_EQ(http.post("/api/step", R"({"direction":"cw"})").status, 200);
    EXPECT_TRUE(settlesAt(51));
    EXPECT_EQ(http.post("/api/step", R"({"direction":"ccw"})").status, 200);
    EXPECT_TRUE(settlesAt(50));

    // A stop in the middle of a long turn ends it where the stepper is.
    http.send("POST", "/api/turn", R"({"steps":90000})");
    platform.scheduleAfter(200, [&] { http.send("POST", "/api/stop", "{}"); });
    EXPECT_EQ(http.read().status, 200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !station->web().api().State()["turning"].toBool(); }));
    EXPECT_EQ(http.read().status, 200);
    EXPECT_GT(state().StepCounter, 50);
    EXPECT_LT(state().StepCounter, 1000);
}

TEST_F(WebApiTest, stepsAskedForBeforeTheFirstHasRun_allAreMade) {
    web::WebApi& api = station->web().api();
    EXPECT_EQ(api.Handle("POST", "/api/turn", R"({"steps":150})").status, 200);
    ASSERT_TRUE(settlesAt(150));
    // Three clicks in a row arrive before the first step has run, and more while one runs.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(api.Handle("POST", "/api/step", R"({"direction":"ccw"})").status, 200);
    EXPECT_TRUE(settlesAt(147));
    platform.scheduleAfter(0, [&] { api.Handle("POST", "/api/step", R"({"direction":"cw"})"); });
    api.Handle("POST", "/api/step", R"({"direction":"cw"})");
    EXPECT_TRUE(settlesAt(149));
    // A turn asked for after them takes their place, and a stop drops what waits.
    api.Handle("POST", "/api/step", R"({"direction":"cw"})");
    api.Handle("POST", "/api/turn", R"({"steps":140})");
    EXPECT_TRUE(settlesAt(140));
    api.Handle("POST", "/api/step", R"({"direction":"cw"})");
    api.Handle("POST", "/api/stop", "");
    platform.advance(100);
    EXPECT_EQ(state().StepCounter, 140);
}

TEST_F(WebApiTest, stepsOfEitherSign_upToAThousand) {
    Http http(port());
    EXPECT_EQ(http.post("/api/step", R"({"steps":10})").status, 200);
    EXPECT_TRUE(settlesAt(10));
    EXPECT_EQ(http.post("/api/step", R"({"steps":-4})").status, 200);
    EXPECT_TRUE(settlesAt(6));
    for (const char* body :
         {R"({"steps":0})", R"({"steps":1001})", R"({"steps":-1001})", R"({"steps":2.5})"})
        EXPECT_EQ(http.post("/api/step", body).status, 400) << body;
    platform.advance(100);
    EXPECT_EQ(state().StepCounter, 6);

    // The move log says how many steps either way, and who asked.
    EXPECT_EQ(http.post("/api/step", R"({"direction":"cw"})").status, 200);
    EXPECT_TRUE(settlesAt(7));
    QStringList details;
    for (const QJsonValue& move : http.ask("GET", "/api/moves").json["moves"].toArray())
        details << move["detail"].toString();
    EXPECT_EQ(details, QStringList({"web 127.0.0.1 +10 steps", "web 127.0.0.1 -4 steps",
                                    "web 127.0.0.1 +1 step"}));
}

TEST_F(WebApiTest, aHeldJog_turnsAsOneTurnWhileAskedAgain_andStopsSoonAfterItIsNoLonger) {
    web::WebApi& api = station->web().api();
    int turns = 0;
    double startedMs = 0;
    double endedMs = 0;
    QObject scope;
    QObject::connect(&station->engine(), &engine::Engine::turnStarted, &scope, [&] {
        ++turns;
        startedMs = platform.steadyMs();
    });
    QObject::connect(&station->engine(), &engine::Engine::turnEnded, &scope,
                     [&] { endedMs = platform.steadyMs(); });
    const auto jog = [&] {
        return api.Handle("POST", "/api/jog", R"({"direction":1,"hold":"a"})");
    };
    // The page asks again every 250 ms for 2 s, then is gone without a word.
    for (int i = 1; i <= 8; ++i)
        platform.scheduleAfter(250 * i, [&] { EXPECT_EQ(jog().status, 200); });
    ASSERT_EQ(jog().status, 200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return turns > 0 && !station->turning(); }));
    EXPECT_EQ(turns, 1);
    // Held for 2 s, then the lease ran out.
    EXPECT_GE(endedMs - startedMs, 2000);
    EXPECT_LE(endedMs - startedMs, 2000 + web::WebApi::JogLeaseMs + 50);

    // Stopped, a late request of that hold starts nothing; a new hold goes down.
    const core::Long at = state().StepCounter;
    EXPECT_EQ(api.Handle("POST", "/api/jog", R"({"direction":1,"hold":"b"})").status, 200);
    platform.scheduleAfter(100, [&] { api.Handle("POST", "/api/stop", ""); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return turns == 2 && !station->turning(); }));
    const core::Long stopped = state().StepCounter;
    EXPECT_GT(stopped, at);
    EXPECT_EQ(api.Handle("POST", "/api/jog", R"({"direction":1,"hold":"b"})").status, 200);
    platform.advance(1000);
    EXPECT_EQ(state().StepCounter, stopped);
    EXPECT_EQ(api.Handle("POST", "/api/jog", R"({"direction":-1,"hold":"c"})").status, 200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return turns == 3 && !station->turning(); }));
    EXPECT_LT(state().StepCounter, stopped);
    EXPECT_EQ(api.Handle("POST", "/api/jog", R"({"direction":2})").status, 400);
}

TEST_F(WebApiTest, aNewTurnEndsTheOneUnderWay) {
    Http http(port());
    http.send("POST", "/api/turn", R"({"steps":90000})");
    platform.scheduleAfter(100, [&] { http.send("POST", "/api/turn", R"({"steps":10})"); });
    EXPECT_EQ(http.read().status, 200);
    EXPECT_EQ(http.read().status, 200);
    EXPECT_TRUE(settlesAt(10));
}

TEST_F(WebApiTest, badInputs_get400WithAMessage_andNothingMoves) {
    Http http(port());
    const std::pair<const char*, const char*> bad[] = {
        {"/api/turn", "{\"steps\":"},          // not JSON
        {"/api/turn", "[1]"},                  // not an object
        {"/api/turn", "{}"},                   // neither steps nor degrees
        {"/api/turn", R"({"steps":100001})"},  // beyond the upper limit
        {"/api/turn", R"({"steps":-1})"},      // below the lower limit
        {"/api/turn", R"({"steps":12.5})"},    // not a whole step
        {"/api/turn", R"({"steps":"12"})"},    // not a number
        {"/api/turn", R"({"degrees":1e300})"}, // beyond the limits
        {"/api/turn", R"({"degrees":-10})"},   // below the lower limit
        {"/api/turn", R"({"degrees":"90"})"},  // not a number
        {"/api/turn", R"({"degrees":null})"},
        {"/api/turn", R"({"steps":10,"degrees":90})"},
        {"/api/step", R"({"direction":"up"})"},
        {"/api/speed", R"({"speed":"slow"})"},
        {"/api/stepper", R"({"stepper":3})"},
        {"/api/stepper", R"({"stepper":1.5})"},
        {"/api/lock", R"({"locked":"yes"})"},
        {"/api/table/turn", R"({"row":0})"}, // the table has no rows yet
        {"/api/table/delete", R"({"row":-1})"},
    };
    for (const auto& [path, body] : bad) {
        const auto answer = http.post(path, body);
        EXPECT_EQ(answer.status, 400) << path << " " << body;
        EXPECT_FALSE(answer.json["error"].toString().isEmpty()) << path << " " << body;
    }
    platform.advance(1000);
    EXPECT_EQ(state().StepCounter, 0);
    EXPECT_EQ(state().SelectedStepper, 0);

    // The move log tells the four turns beyond the limits, each with the target asked for; a
    // value that is no number asked for no turn.
    const QJsonArray moves = http.ask("GET", "/api/moves").json["moves"].toArray();
    ASSERT_EQ(moves.size(), 4);
    for (const QJsonValue& move : moves) {
        EXPECT_EQ(move["end"].toString(), "refused");
        const qint64 to = move["to"].toInteger();
        EXPECT_TRUE(to < state().MinPosition || to > state().MaxPosition)
            << move["text"].toString().toStdString();
    }

    EXPECT_EQ(http.ask("GET", "/api/nothing").status, 404);
    EXPECT_EQ(http.ask("GET", "/api/turn").status, 405);
    EXPECT_EQ(http.post("/api/state").status, 405);
    EXPECT_EQ(http.ask("GET", "/nothing.html").status, 404);
    EXPECT_EQ(http.post("/").status, 405);
}

// A client told 405 is told what the path takes, as HTTP asks.
TEST_F(WebApiTest, aWrongMethod_is405_andNamesTheMethodsThePathTakes) {
    Http http(port());
    const Answer get = http.ask("GET", "/api/turn");
    EXPECT_EQ(get.status, 405);
    EXPECT_TRUE(get.head.contains("\r\nallow: post\r\n")) << get.head.toStdString();
    const Answer post = http.post("/api/state");
    EXPECT_EQ(post.status, 405);
    EXPECT_TRUE(post.head.contains("\r\nallow: get\r\n")) << post.head.toStdString();
    const Answer page = http.post("/");
    EXPECT_EQ(page.status, 405);
    EXPECT_TRUE(page.head.contains("\r\nallow: get, head\r\n")) << page.head.toStdString();
    EXPECT_FALSE(http.ask("GET", "/api/state").head.contains("allow:"));
}

TEST_F(WebApiTest, thePagesFilesComeFromTheProgramWithTheirTypes_andStayOnThisSite) {
    for (const auto& [path, type] : {std::pair{"/", "text/html"},
                                     {"/page.js", "text/javascript"},
                                     {"/dial.js", "text/javascript"},
                                     {"/page.css", "text/css"},
                                     {"/icon.svg", "image/svg+xml"}}) {
        Http http(port());
        http.send("GET", path);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            http.got += http.socket.readAll();
            return http.got.contains("\r\n\r\n");
        })) << path;
        const QByteArray head = http.got.left(http.got.indexOf("\r\n\r\n")).toLower();
        EXPECT_TRUE(head.startsWith("http/1.1 200")) << path;
        EXPECT_TRUE(head.contains(QByteArray("content-type: ") + type)) << path;
        EXPECT_TRUE(head.contains("frame-ancestors 'none'")) << path;
    }
    // A page of another name that resolves here gets nothing, not even the page.
    Http http(port());
    EXPECT_EQ(http.ask("GET", "/", {}, {{"Host", "evil.example:8073"}}).status, 403);
}

TEST_F(WebApiTest, speedAndStepper_asTheMainWindowsButtons) {
    Http http(port());
    EXPECT_EQ(http.post("/api/speed", R"({"speed":"fast"})").status, 200);
    EXPECT_TRUE(station->speed().control().fastMode());
    EXPECT_EQ(http.post("/api/speed", R"({"speed":"fast"})").status, 200); // stays fast
    EXPECT_TRUE(station->speed().control().fastMode());
    EXPECT_EQ(http.ask("GET", "/api/state").json["speed"].toString(), "fast");
    EXPECT_EQ(http.post("/api/speed", R"({"speed":"custom"})").status, 200);
    EXPECT_FALSE(station->speed().control().fastMode());

    EXPECT_EQ(http.post("/api/stepper", R"({"stepper":2})").status, 200);
    EXPECT_EQ(state().SelectedStepper, 1);
    EXPECT_EQ(http.ask("GET", "/api/state").json["stepper"].toInt(), 2);
    EXPECT_EQ(http.post("/api/stepper", R"({"stepper":1})").status, 200);
    EXPECT_EQ(state().SelectedStepper, 0);
}

TEST_F(WebApiTest, theTable_listedTurnedToAddedDeleted_andTheLock) {
    Http http(port());
    // Before the table is open nothing of it changes.
    EXPECT_EQ(http.post("/api/table/add").status, 409);
    EXPECT_EQ(http.post("/api/lock", R"({"locked":true})").status, 409);

    follow(7100);
    ASSERT_TRUE(settlesAt(200));
    auto s = http.ask("GET", "/api/state").json;
    EXPECT_TRUE(s["rig"].toObject()["open"].toBool());
    EXPECT_FALSE(s["rig"].toObject()["link"].toString().isEmpty());
    EXPECT_EQ(s["rig"].toObject()["frequencyHz"].toInteger(), 7100000);
    EXPECT_TRUE(s["following"].toBool());

    const auto table = http.ask("GET", "/api/table").json;
    EXPECT_EQ(table["name"].toString(), "Table.cat");
    const QJsonArray rows = table["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_DOUBLE_EQ(rows[1]["frequencyKHz"].toDouble(), 7200);
    EXPECT_EQ(rows[1]["position"].toInt(), 300);

    // Unlocked, the stepper stays where the rig's dial moves.
    EXPECT_EQ(http.post("/api/lock", R"({"locked":false})").status, 200);
    EXPECT_FALSE(station->tuning().follower().locked());
    station->simulatedRig().rig().setFrequency(7150);
    platform.advance(3000);
    EXPECT_EQ(state().StepCounter, 200);

    // A row at the rig's frequency and the stepper's position; the same frequency again is
    // refused without asking anybody.
    EXPECT_EQ(http.post("/api/table/add").status, 200);
    EXPECT_EQ(station->tableEditor().data().dataRows(), 3);
    EXPECT_EQ(station->tableEditor().data().TablePos[2], 200);
    EXPECT_DOUBLE_EQ(station->tableEditor().data().TableFreq[2], 7150);
    EXPECT_EQ(http.post("/api/table/add").status, 409);
    EXPECT_TRUE(platform.messages.empty());

    EXPECT_EQ(http.post("/api/table/turn", R"({"row":2})").status, 200); // 7200 kHz, step 300
    EXPECT_TRUE(settlesAt(300));
    EXPECT_DOUBLE_EQ(station->simulatedRig().rig().frequency(), 7200); // the rig follows the row
    EXPECT_EQ(station->moveLog().Last(1).value(0)["detail"].toString(),
              "web 127.0.0.1 table row 7200 kHz");

    EXPECT_EQ(http.post("/api/table/delete", R"({"row":1})").status, 200);
    EXPECT_EQ(http.ask("GET", "/api/table").json["rows"].toArray().size(), 2);
    EXPECT_EQ(http.post("/api/table/delete", R"({"row":2})").status, 400); // no third row now

    EXPECT_EQ(http.post("/api/lock", R"({"locked":true})").status, 200);
    EXPECT_TRUE(station->tuning().follower().locked());
}

TEST_F(WebApiTest, aRowAtAFractionalFrequency_isListedAtThatFrequency) {
    Http http(port());
    follow(7100);
    ASSERT_TRUE(settlesAt(200));
    ASSERT_EQ(station->tableEditor().AddOrReplaceRow(7150.2),
              table::TableEditor::AddResult::Added);
    const QJsonArray rows = http.ask("GET", "/api/table").json["rows"].toArray();
    ASSERT_EQ(rows.size(), 3);
    // The float kept for 7150.2 is 7150.2001953125; the page shows and speaks what was typed.
    EXPECT_EQ(rows[1]["frequencyKHz"].toDouble(), 7150.2);
}

TEST_F(WebApiTest, retuneHere_makesAHandCorrectionTheTablesOffset) {
    Http http(port());
    EXPECT_EQ(http.post("/api/table/retune").status, 409); // the table is not open
    follow(7100);
    ASSERT_TRUE(settlesAt(200));
    // The loop drifted: unlocked, the stepper is corrected by 5 steps at the same frequency.
    EXPECT_EQ(http.post("/api/lock", R"({"locked":false})").status, 200);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":205})").status, 200);
    ASSERT_TRUE(settlesAt(205));
    EXPECT_EQ(http.post("/api/table/retune").status, 200);
    EXPECT_EQ(http.ask("GET", "/api/table").json["offset"].toInt(), 5);

    // Following goes on 5 steps on.
    EXPECT_EQ(http.post("/api/lock", R"({"locked":true})").status, 200);
    station->simulatedRig().rig().setFrequency(7150);
    platform.advance(3000);
    EXPECT_TRUE(settlesAt(255));

    // Too far from the table's position: refused, said in words.
    EXPECT_EQ(http.post("/api/lock", R"({"locked":false})").status, 200);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":300})").status, 200);
    ASSERT_TRUE(settlesAt(300));
    const auto refused = http.post("/api/table/retune");
    EXPECT_EQ(refused.status, 409);
    EXPECT_TRUE(refused.json["error"].toString().contains("at most +/- 30"));
    EXPECT_EQ(station->tableEditor().data().StepperOffset, 5);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(WebApiTest, stateTellsTheTablesPositionForTheRigsFrequency_theLimitsAndWhatTheLinkOffers) {
    Http http(port());
    auto s = http.ask("GET", "/api/state").json;
    EXPECT_EQ(s["limits"].toObject()["min"].toInt(), 0);
    EXPECT_EQ(s["limits"].toObject()["max"].toInt(), 100000);
    QJsonObject tuning = s["tuning"].toObject();
    EXPECT_TRUE(tuning["position"].isNull());
    EXPECT_TRUE(tuning["swr"].isNull());
    EXPECT_FALSE(tuning["peakSearch"].toObject()["offered"].toBool());
    EXPECT_FALSE(tuning["swrTune"].toObject()["offered"].toBool());

    follow(7150);
    ASSERT_TRUE(settlesAt(250));
    tuning = http.ask("GET", "/api/state").json["tuning"].toObject();
    EXPECT_EQ(tuning["position"].toInt(), 250);
    EXPECT_TRUE(tuning["peakSearch"].toObject()["offered"].toBool());
    EXPECT_TRUE(tuning["swrTune"].toObject()["offered"].toBool()); // the simulated rig's meter
    EXPECT_TRUE(tuning["swrTune"].toObject()["ready"].toBool());
    EXPECT_TRUE(tuning["swr"].toObject()["value"].isNull()); // nothing measured yet

    // The SWR tune runs as a turn; what it found is the SWR shown.
    EXPECT_EQ(http.post("/api/swrtune").status, 200);
    const auto swrNow = [&] {
        return station->web().api().State()["tuning"].toObject()["swr"].toObject();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !swrNow()["value"].isNull(); }));
    const QJsonObject swr = swrNow();
    EXPECT_DOUBLE_EQ(swr["value"].toDouble(), 1.0);
    EXPECT_EQ(swr["at"].toInt(), 254); // the simulated loop resonates 4 steps on
    EXPECT_TRUE(settlesAt(254));
}

TEST_F(WebApiTest, aBandButton_opensItsTableAndTurnsToItsPositionForTheRigsFrequency) {
    test_support::WriteFile(dir.filePath("20m.cat"),
                            "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                            "14000,1000,\"\"\r\n14350,1700,\"\"\r\n");
    ASSERT_TRUE(station->bandSets().Toggle(0, "\\Table.cat"));
    ASSERT_TRUE(station->bandSets().Toggle(0, "\\20m.cat"));
    Http http(port());
    EXPECT_EQ(http.post("/api/band", R"({"stepper":1,"table":"20m.cat"})").status, 409); // closed
    follow(7100);
    ASSERT_TRUE(settlesAt(200));
    const QJsonArray bands =
        http.ask("GET", "/api/state").json["tuning"].toObject()["bands"].toArray();
    ASSERT_EQ(bands.size(), 2);
    EXPECT_EQ(bands[0].toObject()["table"].toString(), "Table.cat");
    EXPECT_TRUE(bands[0].toObject()["open"].toBool());
    EXPECT_FALSE(bands[1].toObject()["open"].toBool());
    EXPECT_EQ(http.post("/api/band", R"({"stepper":1,"table":"40m.cat"})").status, 400);
    EXPECT_EQ(http.post("/api/band", R"({"stepper":2,"table":"20m.cat"})").status, 400);

    // 7100 kHz lies outside 20m.cat: its first row, and following lets it stay there.
    EXPECT_EQ(http.post("/api/band", R"({"stepper":1,"table":"20m.cat"})").status, 200);
    EXPECT_TRUE(settlesAt(1000));
    EXPECT_EQ(state().TableFileName, "\\20m.cat");
    EXPECT_DOUBLE_EQ(station->simulatedRig().rig().frequency(), 7100); // the rig was not retuned
    platform.advance(3000);
    EXPECT_EQ(state().StepCounter, 1000);

    // The rig on 14 MHz: the table's position for its frequency.
    station->simulatedRig().rig().setFrequency(14175);
    platform.advance(3000);
    Http again(port()); // the first idled out meanwhile
    EXPECT_EQ(again.post("/api/band", R"({"stepper":1,"table":"20m.cat"})").status, 200);
    EXPECT_TRUE(settlesAt(1350));
    EXPECT_DOUBLE_EQ(station->simulatedRig().rig().frequency(), 14175);
}

TEST_F(WebApiTest, retuneHere_whoseTableCannotBeSaved_answersTheFailure) {
    Http http(port());
    follow(7100);
    ASSERT_TRUE(settlesAt(200));
    EXPECT_EQ(http.post("/api/lock", R"({"locked":false})").status, 200);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":205})").status, 200);
    ASSERT_TRUE(settlesAt(205));
    // Something else took the table file's place.
    const QString table = station->tableEditor().tablePath();
    ASSERT_TRUE(QFile::remove(table));
    ASSERT_TRUE(QDir().mkdir(table));
    const auto answer = http.post("/api/table/retune");
    EXPECT_EQ(answer.status, 500);
    EXPECT_EQ(answer.json["error"].toString(),
              "the offset is set but the table cannot be saved to " + table);
}

TEST_F(WebApiTest, aRigSilentWhileFollowed_raisesTheAlarm_untilItsReadingsReturn) {
    follow(7000);
    ASSERT_TRUE(settlesAt(100));
    Http http(port());
    EXPECT_TRUE(http.ask("GET", "/api/state").json["rigAlarm"].isNull());
    station->simulatedRig().setSilent(true);
    platform.advance(61'000);
    Http asked(port());
    EXPECT_EQ(asked.ask("GET", "/api/state").json["rigAlarm"].toString(),
              "no reading from the rig for 60 s");
    EXPECT_TRUE(station->status().rigAlarm == "no reading from the rig for 60 s");
    // The desktop's table window says it on its status line.
    EXPECT_TRUE(station->tableView().StatusText().endsWith("   No reading from the rig for 60 s"));
    station->simulatedRig().setSilent(false);
    platform.advance(3'000);
    EXPECT_TRUE(asked.ask("GET", "/api/state").json["rigAlarm"].isNull());
    EXPECT_FALSE(station->tableView().StatusText().contains("reading"));

    // The port closed by the user gives no reading and raises nothing.
    station->tuning().port().ComPortOpen(0);
    platform.advance(120'000);
    EXPECT_TRUE(station->status().rigAlarm.isEmpty());
}

TEST_F(WebApiTest, aTurnLongerThanTheAlarmsLimit_whileTheRigAnswersItsTransmitChecks_raisesNone) {
    follow(7000);
    ASSERT_TRUE(settlesAt(100));
    Http http(port());
    EXPECT_EQ(http.post("/api/lock", R"({"locked":false})").status, 200);
    // 68 s of turning, while only the rig's transmit state is read.
    state().StepDelayMs = 20;
    const double start = platform.steadyMs();
    EXPECT_EQ(http.post("/api/turn", R"({"steps":3500})").status, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().StepCounter == 3500; }, 20'000));
    EXPECT_GT(platform.steadyMs() - start, 61'000);
    EXPECT_TRUE(station->status().rigAlarm.isEmpty());
}

TEST_F(WebApiTest, aRigFallenSilentWhileTransmitting_refusesTurnsForThatReason) {
    follow(7000);
    ASSERT_TRUE(settlesAt(100));
    station->simulatedRig().rig().setTransmit(true);
    platform.advance(3000);
    station->simulatedRig().setSilent(true);
    platform.advance(5000);
    Http http(port());
    ASSERT_EQ(http.ask("GET", "/api/state").json["transmitHoldReason"].toString(),
              "the rig is silent and may be transmitting");
    const auto answer = http.post("/api/turn", R"({"steps":150})");
    EXPECT_EQ(answer.status, 409);
    EXPECT_EQ(answer.json["error"].toString(),
              "the rig is silent and may be transmitting: no turning");
    EXPECT_EQ(state().StepCounter, 100);
}

TEST_F(WebApiTest, whileTheRigTransmits_turnsAre409AndNothingMoves) {
    follow(7000);
    ASSERT_TRUE(settlesAt(100));
    station->simulatedRig().rig().setTransmit(true);
    platform.advance(3000);
    Http http(port());
    const QJsonObject shown = http.ask("GET", "/api/state").json;
    EXPECT_TRUE(shown["transmitHold"].toBool());
    EXPECT_EQ(shown["transmitHoldReason"].toString(), "the rig transmits");
    for (const auto& [path, body] : {std::pair{"/api/turn", R"({"steps":150})"},
                                     {"/api/step", R"({"direction":"cw"})"},
                                     {"/api/step", R"({"steps":-30})"},
                                     {"/api/jog", R"({"direction":1,"hold":"h"})"},
                                     {"/api/table/turn", R"({"row":1})"}}) {
        const auto answer = http.post(path, body);
        EXPECT_EQ(answer.status, 409) << path;
        EXPECT_TRUE(answer.json["error"].toString().contains("transmit")) << path;
    }
    platform.advance(2000);
    EXPECT_EQ(state().StepCounter, 100);
    EXPECT_DOUBLE_EQ(station->simulatedRig().rig().frequency(), 7000);

    station->simulatedRig().rig().setTransmit(false);
    platform.advance(3000);
    Http again(port()); // the first idled out meanwhile
    EXPECT_EQ(again.post("/api/turn", R"({"steps":150})").status, 200);
    ASSERT_TRUE(settlesAt(150));

    // The move log tells each refusal, with the turn asked for and the client's address, and
    // the turn that followed.
    const QJsonArray moves = again.ask("GET", "/api/moves").json["moves"].toArray();
    ASSERT_GE(moves.size(), 6);
    QStringList refused;
    for (const QJsonValue& move : moves) {
        if (move["end"].toString() == "refused")
            refused << QStringLiteral("%1 to %2 / %3")
                           .arg(move["detail"].toString())
                           .arg(move["to"].toInteger())
                           .arg(move["refusal"].toString());
    }
    const QString max = QString::number(state().MaxPosition);
    const QStringList expected = {"web 127.0.0.1 to 150 / the rig transmits",
                                  "web 127.0.0.1 +1 step to 101 / the rig transmits",
                                  "web 127.0.0.1 -30 steps to 70 / the rig transmits",
                                  "web 127.0.0.1 jog to " + max + " / the rig transmits",
                                  "web 127.0.0.1 to 100 / the rig transmits"};
    EXPECT_EQ(refused.join('\n').toStdString(), expected.join('\n').toStdString());
    const QJsonObject last = moves.last().toObject();
    EXPECT_EQ(last["detail"].toString(), "web 127.0.0.1");
    EXPECT_EQ(last["end"].toString(), "reached");
    EXPECT_EQ(last["to"].toInt(), 150);
    EXPECT_TRUE(last["text"].toString().contains("web 127.0.0.1  100 to 150  50 steps"))
        << last["text"].toString().toStdString();
}

} // namespace

TEST(WebApiListeningLinkTest, aRowTurnedToOnALinkThatCannotSetTheRig_is409AndNothingMoves) {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    auto station = web_test::MakeStation(dir.path(), platform);
    station.reset();
    test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                            "[rig]\nlink=wsjtx\n[wsjtx]\nport=24517\n");
    station = std::make_unique<station::Station>(dir.path(), platform,
                                                 std::make_unique<port::SimulatedLpt>());
    ASSERT_TRUE(station->load());
    station->mainInit().InitMain(false);
    platform.processQtEvents = true;
    ASSERT_TRUE(station->web().Listen(QHostAddress(QHostAddress::LocalHost), 0,
                                      web_test::StationFixture::Token));
    ASSERT_TRUE(station->openFollowing());
    ASSERT_TRUE(station->tuning().port().OpenLink(false));
    const core::Long before = station->state().StepCounter;

    Http http(station->web().port());
    const auto answer = http.post("/api/table/turn", R"({"row":1})");
    EXPECT_EQ(answer.status, 409);
    EXPECT_EQ(answer.json["error"].toString(), "This link cannot set the rig.");
    platform.advance(2000);
    EXPECT_EQ(station->state().StepCounter, before);
}

TEST_F(WebApiTest, tuneNow_turnsOnceToTheTablesPosition_whereManualFollowingTurnsNothing) {
    Http http(port());
    EXPECT_EQ(http.post("/api/tune").status, 409); // nothing followed
    station->tuning().follower().setFollowSettings(
        {tuning::FollowSettings{tuning::FollowMode::Manual}, {}});
    const core::Long before = state().StepCounter;
    follow(7100);
    serve(200);
    ASSERT_NE(before, 200);
    EXPECT_EQ(state().StepCounter, before);
    const QJsonObject tuning = http.ask("GET", "/api/state").json["tuning"].toObject();
    EXPECT_EQ(tuning["follow"].toString(), "manual");
    EXPECT_TRUE(tuning["tuneNowReady"].toBool());
    EXPECT_EQ(http.post("/api/tune").status, 200);
    EXPECT_TRUE(settlesAt(200));
}
