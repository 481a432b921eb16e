// The token, the origin, the host, and the limits a client meets, through real HTTP.
#include "WebTestSupport.h"
#include "support/LogCapture.h"
#include "web/ClientGate.h"
#include "web/RequestBudget.h"

#include <list>

namespace {

using web::ClientGate;
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
    EXPECT_EQ(http.post("/api/stop", "{}",
                        {{"Origin", "http://evil.example"},
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
    // Two lengths: the body read as one and the bytes after it as the next request, or as the
    // other; nothing of it is taken.
    Http twoLengths(port());
    twoLengths.socket.write("POST /api/turn HTTP/1.1\r\nHost: " + twoLengths.host +
                            "\r\nContent-Length: 11\r\nContent-Length: 2\r\n\r\n"
                            "{\"steps\":7}");
    EXPECT_EQ(twoLengths.read().status, 400);
    EXPECT_TRUE(twoLengths.closes());
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

TEST_F(WebSecurityTest, theBearerSchemeIsNamedInAnyCase) {
    offLoopback();
    Http http(port());
    for (const QByteArray scheme : {"Bearer ", "bearer ", "BEARER  "})
        EXPECT_EQ(http.ask("GET", "/api/state", {}, {{"Authorization", scheme + Token}}).status,
                  200)
            << scheme.constData();
    EXPECT_EQ(
        http.ask("GET", "/api/state", {}, {{"Authorization", QByteArray("Basic ") + Token}}).status,
        401);
    EXPECT_EQ(
        http.ask("GET", "/api/state", {}, {{"Authorization", QByteArray("Bearer") + Token}}).status,
        401);
}

TEST_F(WebSecurityTest, anUpgradeHeaderThatIsNoWebSocketLeavesEveryLimitOn) {
    // After it, a body declared huge is refused from its head, as anywhere else.
    Http body(port());
    body.send("GET", "/", {}, {{"Upgrade", "foo"}, {"Connection", "Upgrade"}});
    body.socket.write("POST /api/turn HTTP/1.1\r\nHost: " + body.host +
                      "\r\nContent-Length: 104857600\r\n\r\n" + QByteArray(64 * 1024, 'x'));
    EXPECT_EQ(body.lastStatus(), 413);
    Http head(port());
    head.send("GET", "/", {}, {{"Upgrade", "foo"}, {"Connection", "Upgrade"}});
    head.socket.write("GET / HTTP/1.1\r\nX-Long: " + QByteArray(200 * 1024, 'y'));
    EXPECT_EQ(head.lastStatus(), 431);
}

TEST_F(WebSecurityTest, eightPagesFromOneAddressAreServed_itCannotTakeTheOthersPlaces) {
    // Each page holds its WebSocket and two requests: all of them fit one peer's share.
    const QHostAddress neighbour(QStringLiteral("127.0.0.2"));
    std::list<Http> pages;
    for (int i = 0; i < ClientGate::PeerShare; ++i) {
        pages.emplace_back(port(), neighbour);
        ASSERT_EQ(pages.back().ask("GET", "/api/state").status, 200) << i;
    }
    Http oneMore(port(), neighbour);
    EXPECT_EQ(oneMore.ask("GET", "/api/state").status, 503);
    EXPECT_TRUE(oneMore.closes());
    Http other(port());
    EXPECT_EQ(other.ask("GET", "/api/state").status, 200);
}

TEST_F(WebSecurityTest, silentConnectionsHoldNoPlace_aNewcomerIsServed) {
    std::list<QTcpSocket> silent;
    for (int i = 0; i < ClientGate::Places; ++i) {
        silent.emplace_back().connectToHost(QHostAddress(QHostAddress::LocalHost), port());
        ASSERT_TRUE(silent.back().waitForConnected(5000));
    }
    serve(200);
    Http newcomer(port());
    EXPECT_EQ(newcomer.ask("GET", "/api/state").status, 200);
    EXPECT_LE(station->web().clientCount(), ClientGate::PeerShare);
}

// A peer that opens connection after connection fills no log: those closed for the newcomers
// of a burst are one line.
TEST_F(WebSecurityTest, aBurstOfConnectionsClosedForNewcomers_isOneLineOfTheLog) {
    test_support::LogCapture log;
    std::list<QTcpSocket> silent;
    for (int i = 0; i < ClientGate::Places; ++i) {
        silent.emplace_back().connectToHost(QHostAddress(QHostAddress::LocalHost), port());
        ASSERT_TRUE(silent.back().waitForConnected(5000));
    }
    serve(200);
    const QStringList closed = log.with("shown no right");
    ASSERT_EQ(closed.size(), 1) << log.text().toStdString();
    EXPECT_TRUE(closed.front().contains("connection of 127.0.0.1 closed"))
        << closed.front().toStdString();
    EXPECT_LE(station->web().clientCount(), ClientGate::PeerShare);
}

TEST_F(WebSecurityTest, aHeadMustComeWholeWithinSeconds_andAnIdleConnectionIsClosedEarly) {
    // One line every 1.5 s: the request is dropped with 408 once it has taken too long.
    Http slow(port());
    slow.socket.write("GET /api/state HTTP/1.1\r\n");
    for (int i = 0; i < 4 && slow.socket.state() == QAbstractSocket::ConnectedState; ++i) {
        serve(50);
        platform.advance(1500);
        slow.socket.write("X-Slow: " + QByteArray::number(i) + "\r\n");
    }
    EXPECT_EQ(slow.read().status, 408);
    EXPECT_TRUE(slow.closes());

    Http idle(port());
    EXPECT_EQ(idle.ask("GET", "/api/state").status, 200);
    platform.advance(ClientGate::IdleMs - 500);
    serve(100);
    EXPECT_EQ(idle.socket.state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(idle.ask("GET", "/api/state").status, 200); // a request makes it busy again
    platform.advance(ClientGate::IdleMs + 500);
    EXPECT_TRUE(idle.closes());
}

TEST_F(WebSecurityTest, aClientThatAsksForTheEnd_isAnsweredWholeThenClosed_aPageAndA404Too) {
    for (const QByteArray path : {"/api/state", "/", "/nothing"}) {
        Http once(port());
        const Answer answer = once.ask("GET", path, {}, {{"Connection", "keep-alive, Close"}});
        EXPECT_NE(answer.status, 0) << path.constData();
        EXPECT_TRUE(once.closes()) << path.constData(); // long before the idle time on this clock
    }
    Http kept(port());
    EXPECT_EQ(kept.ask("GET", "/api/state", {}, {{"Connection", "keep-alive"}}).status, 200);
    serve(100);
    EXPECT_EQ(kept.socket.state(), QAbstractSocket::ConnectedState);
}

// An HTTP/1.0 client reads the answer to the end of the connection unless it asked to keep it.
TEST_F(WebSecurityTest, anHttp10Request_isAnsweredThenClosed_unlessItAsksForKeepAlive) {
    for (const QByteArray path : {"/api/state", "/", "/nothing"}) {
        Http once(port());
        once.socket.write("GET " + path + " HTTP/1.0\r\nHost: " + once.host + "\r\n\r\n");
        EXPECT_NE(once.read().status, 0) << path.constData();
        EXPECT_TRUE(once.closes()) << path.constData(); // long before the idle time on this clock
    }
    Http kept(port());
    kept.socket.write("GET /api/state HTTP/1.0\r\nHost: " + kept.host +
                      "\r\nConnection: keep-alive\r\n\r\n");
    EXPECT_EQ(kept.read().status, 200);
    serve(100);
    EXPECT_EQ(kept.socket.state(), QAbstractSocket::ConnectedState);
}

// Whatever HEAD is answered, the answer has no body: the next answer on the connection follows
// its head directly.
TEST_F(WebSecurityTest, anAnswerToHeadHasNoBody_refusalsToo) {
    for (const QByteArray path : {"/api/state", "/nothing", "/"}) {
        Http http(port());
        const QByteArray head = "HEAD " + path + " HTTP/1.1\r\nHost: " + http.host + "\r\n\r\n";
        http.socket.write(head + "GET /api/state HTTP/1.1\r\nHost: " + http.host +
                          "\r\nConnection: close\r\n\r\n");
        ASSERT_TRUE(http.closes()) << path.constData();
        const QByteArray got = http.got + http.socket.readAll();
        const qsizetype next = got.indexOf("\r\n\r\n") + 4;
        EXPECT_TRUE(got.mid(next).startsWith("HTTP/1.1 200 OK")) << got.constData();
    }
}

TEST_F(WebSecurityTest, aFloodingClientIs429_otherPeersAndTheStationAreNot) {
    Http flood(port());
    int refused = 0;
    for (int i = 0; i < 100; ++i) {
        const int status = flood.ask("GET", "/api/state").status;
        EXPECT_TRUE(status == 200 || status == 429) << status;
        refused += status == 429;
    }
    EXPECT_EQ(refused, 100 - int(web::RequestBudget::Burst));
    // The station turns meanwhile as asked by the window's own commands.
    station->engine().TurnTo({20, engine::TurnOrigin::Window});
    EXPECT_EQ(state().StepCounter, 20);
    // Time fills the bucket again.
    platform.advance(1000);
    EXPECT_EQ(flood.ask("GET", "/api/state").status, 200);
}

} // namespace
