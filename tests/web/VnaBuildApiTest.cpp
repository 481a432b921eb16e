// The table build with the VNA through the JSON API: started, refused, followed in the state,
// cancelled, and its picture served.
#include "WebTestSupport.h"

#include <QFile>

namespace {

using web_test::Http;

struct VnaBuildApiTest : web_test::StationFixture {
    void simulateVna() {
        QFile ini(dir.filePath("Ventrolo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write("[vna]\nport=simulated\n");
    }
    QJsonObject vnaState() { return station->web().api().State()["vna"].toObject(); }
    // The API as the page calls it, from inside the build (the test's HTTP client cannot be
    // served while the build's own waits run the events).
    web::WebReply call(const char* method, const QString& path, const QByteArray& body = {}) {
        return station->web().api().Handle(method, path, body);
    }
    static constexpr const char* FortyMetres =
        R"({"startKHz":7000,"stopKHz":7200,"lowPosition":0,"highPosition":2000,"spacing":10})";
};

TEST_F(VnaBuildApiTest, badOrImpossibleBuilds_are400Or409_andNothingStarts) {
    Http http(port());
    // No VNA set yet.
    auto answer = http.post("/api/vna/build", R"({"band":"40m"})");
    EXPECT_EQ(answer.status, 409);
    EXPECT_TRUE(answer.json["error"].toString().contains("No VNA is set"));
    simulateVna();
    for (const char* body :
         {"{}", R"({"band":"41m"})", R"({"band":""})", R"({"startKHz":7200,"stopKHz":7000})",
          R"({"band":"40m","lowPosition":-5})", R"({"band":"40m","highPosition":1.5})",
          R"({"band":"40m","spacing":"often"})", R"({"band":"40m","spacing":0})",
          R"({"band":"40m","repeatability":"yes"})", "[1]"}) {
        answer = http.post("/api/vna/build", body);
        EXPECT_EQ(answer.status, 400) << body;
        EXPECT_FALSE(answer.json["error"].toString().isEmpty()) << body;
    }
    EXPECT_EQ(http.ask("GET", "/api/vna/build").status, 405);
    EXPECT_EQ(http.ask("GET", "/api/vna/report.svg").status, 404);
    const QJsonObject shown = http.ask("GET", "/api/state").json["vna"].toObject();
    EXPECT_EQ(shown["state"].toString(), "idle");
    EXPECT_TRUE(shown["result"].isNull());
    EXPECT_EQ(state().StepCounter, 0);
}

TEST_F(VnaBuildApiTest, aBuild_showsItsProgress_refusesASecond_andServesItsPicture) {
    simulateVna();
    QJsonObject during;
    int secondAnswer = 0;
    platform.scheduleAfter(30'000, [&] {
        during = vnaState();
        secondAnswer = call("POST", "/api/vna/build", FortyMetres).status;
    });
    Http http(port());
    ASSERT_EQ(http.post("/api/vna/build", FortyMetres).status, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vnaState()["state"] != "running"; }, 60000));

    EXPECT_EQ(during["state"].toString(), "running");
    EXPECT_GT(during["fraction"].toDouble(), 0);
    EXPECT_LT(during["fraction"].toDouble(), 1);
    EXPECT_GT(during["secondsLeft"].toInt(), 0);
    EXPECT_FALSE(during["activity"].toString().isEmpty());
    EXPECT_EQ(secondAnswer, 409);

    Http after(port()); // the first idled out meanwhile
    const QJsonObject done = after.ask("GET", "/api/state").json["vna"].toObject();
    EXPECT_EQ(done["state"].toString(), "built");
    const QJsonObject result = done["result"].toObject();
    EXPECT_EQ(result["table"].toString(), "7000-7200kHz.cat");
    EXPECT_EQ(result["checkPassed"].toInt(), result["checkTotal"].toInt());
    EXPECT_TRUE(result["picture"].toBool());
    EXPECT_TRUE(QFile::exists(dir.filePath("7000-7200kHz.cat")));

    after.send("GET", "/api/vna/report.svg");
    ASSERT_TRUE(QTest::qWaitFor([&] {
        after.got += after.socket.readAll();
        return after.got.contains("</svg>");
    }));
    EXPECT_TRUE(after.got.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(after.got.toLower().contains("content-type: image/svg+xml"));
    EXPECT_FALSE(after.got.contains("<script"));

    // Built again from the web: the table is kept and the new one named beside it.
    ASSERT_EQ(call("POST", "/api/vna/build", FortyMetres).status, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vnaState()["state"] != "running"; }, 60000));
    EXPECT_EQ(vnaState()["result"].toObject()["table"].toString(), "7000-7200kHz-2.cat");
}

TEST_F(VnaBuildApiTest, cancel_endsTheBuildAtOnce_andWritesNoTable) {
    simulateVna();
    platform.scheduleAfter(20'000, [&] { EXPECT_EQ(call("POST", "/api/vna/cancel").status, 200); });
    Http http(port());
    ASSERT_EQ(http.post("/api/vna/build", FortyMetres).status, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vnaState()["state"] != "running"; }, 60000));
    EXPECT_LT(platform.steadyMs(), 22'000);
    EXPECT_EQ(vnaState()["state"].toString(), "cancelled");
    EXPECT_FALSE(vnaState()["result"].toObject()["picture"].toBool());
    EXPECT_FALSE(QFile::exists(dir.filePath("7000-7200kHz.cat")));
    EXPECT_EQ(Http(port()).ask("GET", "/api/vna/report.svg").status, 404);
}

} // namespace
