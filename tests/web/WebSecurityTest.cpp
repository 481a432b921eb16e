// The token, the origin, the host, and the limits a client meets, through real HTTP.
#include "WebTestSupport.h"

#include "web/RequestBudget.h"

#include <list>

namespace {

using web_test::Http;

struct WebSecurityTest : web_test::StationFixture {
    // The server as if on an address off this machine (the test may only reach loopback).
    void offLoopback() { station->web().requireToken(true); }
    std::map<QByteArray, QByteArray> bearer(const QByteArray& token = Token) {
        return {{"Authorization", "Bearer " + token}};
    }
};

TEST_F(WebSecurityTest, offLoopback_everyApiRequestNeedsTheBearerToken) {
    offLoopback();
    Http http(port());
    EXPECT_EQ(http.ask("GET", "/api/state").status, 401);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":50})").status, 401);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":50})", bearer("0123456789abcdef0123456789abcdee"))
                  .status,
              401);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":50})", bearer("0123")).status, 401);
    // Neither the query string nor a cookie carries it.
    EXPECT_EQ(http.ask("GET", QByteArray("/api/state?token=") + Token).status, 401);
    EXPECT_EQ(http.ask("GET", "/api/state", {}, {{"Cookie", QByteArray("token=") + Token}}).status,
              401);
    platform.advance(1000);
    EXPECT_EQ(state().StepCounter, 0);

    EXPECT_EQ(http.ask("GET", "/api/state", {}, bearer()).status, 200);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":50})", bearer()).status, 200);
    EXPECT_TRUE(settlesAt(50));
}

TEST_F(WebSecurityTest, aChangeFromAnotherOrigin_is403_ownOriginAndNoOriginPass) {
    Http http(port());
    EXPECT_EQ(http.post("/api/turn", R"({"steps":50})", {{"Origin", "http://evil.example"}}).status,
              403);
    platform.advance(1000);
    EXPECT_EQ(state().StepCounter, 0);
    // Reading is no change.
    EXPECT_EQ(http.ask("GET", "/api/state", {}, {{"Origin", "http://evil.example"}}).status, 200);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":50})", {{"Origin", "http://" + http.host}}).status,
              200);
    EXPECT_TRUE(settlesAt(50));
    EXPECT_EQ(http.post("/api/turn", R"({"steps":60})").status, 200);
    EXPECT_TRUE(settlesAt(60));

    offLoopback();
    EXPECT_EQ(http.post("/api/stop", "{}", {{"Origin", "http://evil.example"},
                                            {"Authorization", QByteArray("Bearer ") + Token}})
                  .status,
              403);
}

TEST_F(WebSecurityTest, onLoopback_aHostOfAnotherName_is403) {
    // A page of another name that resolves to this machine sends its own name as the host.
    Http http(port());
    EXPECT_EQ(http.ask("GET", "/api/state", {}, {{"Host", "evil.example:8073"}}).status, 403);
    EXPECT_EQ(http.post("/api/turn", R"({"steps":5})",
                        {{"Host", "evil.example:8073"}, {"Origin", "http://evil.example:8073"}})
                  .status,
              403);
    EXPECT_EQ(http.ask("GET", "/api/state", {}, {{"Host", "localhost:8073"}}).status, 200);
    EXPECT_EQ(http.ask("GET", "/api/state", {}, {{"Host", "[::1]:8073"}}).status, 200);
}

TEST_F(WebSecurityTest, aBodyOver16KB_is413_andTheConnectionEnds) {
    Http http(port());
    const QByteArray big = "{\"steps\":5,\"pad\":\"" + QByteArray(17 * 1024, 'x') + "\"}";
    EXPECT_EQ(http.post("/api/turn", big).status, 413);
    EXPECT_TRUE(http.closes());
    // Declared large but not sent: refused from the head alone.
    Http declared(port());
    declared.socket.write("POST /api/turn HTTP/1.1\r\nHost: " + declared.host +
                          "\r\nContent-Length: 100000000\r\n\r\n{");
    EXPECT_EQ(declared.read().status, 413);
    Http chunked(port());
    chunked.socket.write("POST /api/turn HTTP/1.1\r\nHost: " + chunked.host +
                         "\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n{\"a\":\r\n");
    EXPECT_EQ(chunked.read().status, 411);
    Http header(port());
    header.socket.write("GET /api/state HTTP/1.1\r\nX-Long: " + QByteArray(20000, 'y'));
    EXPECT_EQ(header.read().status, 431);
    platform.advance(1000);
    EXPECT_EQ(state().StepCounter, 0);
    // A body just within the bound is taken.
    const QByteArray fits = "{\"steps\":5,\"pad\":\"" + QByteArray(16 * 1024 - 40, 'x') + "\"}";
    Http again(port());
    EXPECT_EQ(again.post("/api/turn", fits).status, 200);
}

TEST_F(WebSecurityTest, theSeventeenthClientIsRefused_untilOneLeaves) {
    std::list<Http> clients;
    for (int i = 0; i < 16; ++i) {
        clients.emplace_back(port());
        ASSERT_EQ(clients.back().ask("GET", "/api/state").status, 200) << i;
    }
    EXPECT_EQ(station->web().clientCount(), 16);
    Http refused(port());
    EXPECT_EQ(refused.ask("GET", "/api/state").status, 503);
    EXPECT_TRUE(refused.closes());
    clients.front().socket.disconnectFromHost();
    clients.pop_front();
    EXPECT_TRUE(QTest::qWaitFor([&] { return station->web().clientCount() == 15; }));
    Http welcome(port());
    EXPECT_EQ(welcome.ask("GET", "/api/state").status, 200);
}

TEST_F(WebSecurityTest, aFloodingClientIs429_otherPeersAndTheStationAreNot) {
    Http flood(port());
    int refused = 0;
    for (int i = 0; i < 60; ++i) {
        const int status = flood.ask("GET", "/api/state").status;
        EXPECT_TRUE(status == 200 || status == 429) << status;
        refused += status == 429;
    }
    EXPECT_EQ(refused, 60 - int(web::RequestBudget::Burst));
    // The station turns meanwhile as asked by the window's own commands.
    station->engine().TurnTo({20, engine::TurnOrigin::Window});
    EXPECT_EQ(state().StepCounter, 20);
    // Time fills the bucket again.
    platform.advance(1000);
    EXPECT_EQ(flood.ask("GET", "/api/state").status, 200);
}

} // namespace
