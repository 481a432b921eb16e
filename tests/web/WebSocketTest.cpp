// The WebSocket's state pushes: paced, the last value always sent, the token off loopback, and
// a client that never reads dropped.
#include "WebTestSupport.h"
#include "web/ClientGate.h"
#include "web/WebServer.h"
#include "web/WebStatePush.h"

#include <QWebSocket>

namespace {

// A WebSocket client of the test's own thread, keeping what it was sent with the virtual time.
struct Listener {
    QWebSocket socket;
    std::vector<std::pair<double, QJsonObject>> messages;
    bool closed = false;

    Listener(testing_support::FakePlatform& platform, quint16 port,
             const QString& path = QStringLiteral("/api/ws"), const QString& origin = {}) {
        QObject::connect(&socket, &QWebSocket::textMessageReceived,
                         [this, &platform](const QString& text) {
                             messages.emplace_back(platform.steadyMs(),
                                                   QJsonDocument::fromJson(text.toUtf8()).object());
                         });
        QObject::connect(&socket, &QWebSocket::disconnected, [this] { closed = true; });
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(port).arg(path)));
        if (!origin.isEmpty())
            request.setRawHeader("Origin", origin.toUtf8());
        socket.open(request);
    }
    bool opens() {
        return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; });
    }
    bool gets(std::size_t count) {
        return QTest::qWaitFor([&] { return messages.size() >= count || closed; }) &&
               messages.size() >= count;
    }
    bool closes() {
        return QTest::qWaitFor([&] { return closed; });
    }
};

struct WebSocketTest : web_test::StationFixture {};

TEST_F(WebSocketTest, aTurnIsPushedAtMost10TimesASecond_endingWithItsLastValue) {
    Listener ws(platform, port());
    ASSERT_TRUE(ws.opens());
    ASSERT_TRUE(ws.gets(1)); // the state as it is, at once
    EXPECT_EQ(ws.messages[0].second["counter"].toInt(), 0);
    ws.messages.clear();

    station->engine().TurnTo({2000, engine::TurnOrigin::Window}); // 1 ms a step
    (void)QTest::qWaitFor([&] { return false; }, 200);            // what is on the way arrives
    platform.advance(500);
    (void)QTest::qWaitFor([&] { return false; }, 200);
    ASSERT_FALSE(ws.messages.empty());
    const double first = ws.messages.front().first;
    const double last = ws.messages.back().first;
    EXPECT_GE(last - first, 1500); // the turn was seen to move
    // Its end may come sooner after the last move than the moves after each other.
    EXPECT_LE(double(ws.messages.size()), (last - first) / web::WebStatePush::MoveIntervalMs + 2);
    // How far apart the pushes go out is WebStatePushTest's: on the virtual clock a turn's last
    // steps run without yielding, and the client reads what was pushed meanwhile all at once.
    const QJsonObject& end = ws.messages.back().second;
    EXPECT_EQ(end["counter"].toInt(), 2000);
    EXPECT_FALSE(end["turning"].toBool());
    EXPECT_DOUBLE_EQ(end["degrees"].toDouble(), 3600); // 2000 steps = ten turns
    // Counters in between were seen too, in order.
    EXPECT_GT(ws.messages.size(), 10u);
    for (std::size_t i = 1; i < ws.messages.size(); ++i)
        EXPECT_GE(ws.messages[i].second["counter"].toInt(),
                  ws.messages[i - 1].second["counter"].toInt());

    // Nothing changed: nothing more is pushed.
    const std::size_t count = ws.messages.size();
    platform.advance(2000);
    (void)QTest::qWaitFor([&] { return false; }, 100);
    EXPECT_EQ(ws.messages.size(), count);
    // The speed button is a change.
    station->speed().ToggleFastCustom();
    platform.advance(100);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return ws.messages.size() > count && ws.messages.back().second["speed"] == "custom";
    }));
}

TEST_F(WebSocketTest, offLoopback_theFirstMessageMustBeTheToken) {
    station->web().requireToken(true);
    Listener silent(platform, port());
    ASSERT_TRUE(silent.opens());
    Listener wrong(platform, port());
    ASSERT_TRUE(wrong.opens());
    wrong.socket.sendTextMessage(R"({"token":"0123456789abcdef0123456789abcdee"})");
    EXPECT_TRUE(wrong.closes());
    Listener right(platform, port());
    ASSERT_TRUE(right.opens());
    right.socket.sendTextMessage(QStringLiteral(R"({"token":"%1"})").arg(Token));
    ASSERT_TRUE(right.gets(1));
    EXPECT_TRUE(silent.messages.empty());
    // Who never sends one is let go within seconds.
    platform.advance(web::ClientGate::TokenWaitMs + 500);
    EXPECT_TRUE(silent.closes());
    EXPECT_FALSE(right.closed);
    // Admitted, a WebSocket leaves the HTTP limits: its messages are no heads however many
    // come, and being quiet is no idling.
    for (int i = 0; i < 40; ++i)
        right.socket.sendTextMessage(QString(1000, QLatin1Char('m')));
    platform.advance(web::ClientGate::IdleMs + web::ClientGate::RequestWaitMs);
    web_test::StationFixture::serve(200);
    EXPECT_FALSE(right.closed);
}

TEST_F(WebSocketTest, anotherPathOrOrigin_isClosed) {
    Listener elsewhere(platform, port(), QStringLiteral("/other"));
    EXPECT_TRUE(elsewhere.closes());
    Listener forged(platform, port(), QStringLiteral("/api/ws"),
                    QStringLiteral("http://evil.example"));
    EXPECT_TRUE(forged.closes());
    EXPECT_TRUE(forged.messages.empty());
    Listener own(platform, port(), QStringLiteral("/api/ws"),
                 QStringLiteral("http://127.0.0.1:%1").arg(port()));
    EXPECT_TRUE(own.gets(1));
}

TEST_F(WebSocketTest, aClientThatAnswersNoPing_isDropped) {
    // The handshake by hand; it reads what it is sent and never answers.
    QTcpSocket mute;
    mute.connectToHost(QHostAddress(QHostAddress::LocalHost), port());
    ASSERT_TRUE(mute.waitForConnected(5000));
    mute.write("GET /api/ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
               "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
               "Sec-WebSocket-Version: 13\r\n\r\n");
    Listener answering(platform, port());
    ASSERT_TRUE(answering.opens());
    ASSERT_TRUE(QTest::qWaitFor([&] { return station->web().webSocketCount() == 2; }));
    for (int i = 0; i <= web::WebServer::MissedPingsAllowed; ++i) {
        platform.advance(web::WebServer::PingEveryMs);
        web_test::StationFixture::serve(100); // the pongs come back
        (void)mute.readAll();
    }
    EXPECT_EQ(station->web().webSocketCount(), 1);
    EXPECT_FALSE(answering.closed);
}

TEST_F(WebSocketTest, aClientThatNeverReads_isDropped_theStationGoesOn) {
    // The handshake by hand, then nothing is ever read again.
    QTcpSocket deaf;
    deaf.setReadBufferSize(4096);
    deaf.connectToHost(QHostAddress(QHostAddress::LocalHost), port());
    ASSERT_TRUE(deaf.waitForConnected(5000));
    deaf.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    deaf.write("GET /api/ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
               "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
               "Sec-WebSocket-Version: 13\r\n\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return station->web().webSocketCount() == 1; }));
    Listener reader(platform, port());
    ASSERT_TRUE(reader.opens());
    ASSERT_TRUE(QTest::qWaitFor([&] { return station->web().webSocketCount() == 2; }));

    // Long turns, pushed all the way.
    for (int i = 0; i < 40 && station->web().webSocketCount() == 2; ++i)
        station->engine().TurnTo({i % 2 ? 0 : 100000, engine::TurnOrigin::Window});
    EXPECT_EQ(station->web().webSocketCount(), 1);
    EXPECT_FALSE(reader.closed);
    station->engine().TurnTo({5, engine::TurnOrigin::Window});
    EXPECT_EQ(state().StepCounter, 5);
}

} // namespace
