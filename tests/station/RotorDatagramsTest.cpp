// The UDP rotator protocols beside rotctld: datagrams written out as the loggers send them, and
// the station's answers over the loopback network.
#include "station/RotorDatagrams.h"

#include "station/RotorDatagramServer.h"
#include "station/RotorDatagramSettings.h"
#include "station/StationTestSupport.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <tuple>

using station::LoggerRotorCommand;
using station::PstRotatorCommand;
using station::RotorDatagramServer;

namespace {

using Kind = PstRotatorCommand::Kind;

std::vector<Kind> Kinds(const std::vector<PstRotatorCommand>& commands) {
    std::vector<Kind> kinds;
    for (const PstRotatorCommand& command : commands)
        kinds.push_back(command.kind);
    return kinds;
}

} // namespace

TEST(RotorDatagrams, theLoggersGoToAndStop_areRead_andAnythingElseIsNot) {
    const auto go = station::ParseLoggerRotorDatagram(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<N1MMRotor>\r\n  <rotor>Loop 40m</rotor>\r\n"
        "  <goazi>123.4</goazi>\r\n  <offset>0.0</offset>\r\n  <bidirectional>0</bidirectional>\r\n"
        "  <freqband>7.0</freqband>\r\n</N1MMRotor>");
    ASSERT_TRUE(go);
    EXPECT_EQ(go->kind, LoggerRotorCommand::Kind::GoTo);
    EXPECT_DOUBLE_EQ(go->azimuth, 123.4);
    EXPECT_EQ(go->rotor, "Loop 40m");
    const auto stop = station::ParseLoggerRotorDatagram(
        "<N1MMRotor><stop><rotor>Loop 40m</rotor><freqband>21.0</freqband></stop></N1MMRotor>");
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->kind, LoggerRotorCommand::Kind::Stop);
    for (const char* wrong :
         {"", "<N1MMRotor><rotor>x</rotor></N1MMRotor>",
          "<N1MMRotor><goazi>abc</goazi></N1MMRotor>", "<N1MMRotor><goazi>nan</goazi></N1MMRotor>",
          "<Other><goazi>10</goazi></Other>", "<N1MMRotor><goazi>10</goazi><</N1MMRotor>",
          "goazi 10"})
        EXPECT_FALSE(station::ParseLoggerRotorDatagram(wrong)) << wrong;
    EXPECT_FALSE(station::ParseLoggerRotorDatagram("<N1MMRotor><goazi>10</goazi>" +
                                                   QByteArray(3000, ' ') + "</N1MMRotor>"));
    EXPECT_EQ(station::LoggerRotorHeading("Loop 40m", 90), "Loop 40m@900");
    EXPECT_EQ(station::LoggerRotorHeading("R", 123.46), "R@1235");
}

TEST(RotorDatagrams, pstCommands_severalInADatagram_andTheirAnswers) {
    const auto turn = station::ParsePstRotatorDatagram(
        "<PST><AZIMUTH>85</AZIMUTH><ELEVATION>10.5</ELEVATION></PST>");
    EXPECT_EQ(Kinds(turn), (std::vector{Kind::Azimuth, Kind::Elevation}));
    EXPECT_DOUBLE_EQ(turn[0].degrees, 85);
    EXPECT_DOUBLE_EQ(turn[1].degrees, 10.5);
    EXPECT_EQ(Kinds(station::ParsePstRotatorDatagram("<PST><STOP>1</STOP></PST>")),
              std::vector{Kind::Stop});
    EXPECT_EQ(Kinds(station::ParsePstRotatorDatagram("<PST><PARK>1</PARK></PST>")),
              std::vector{Kind::Park});
    EXPECT_EQ(Kinds(station::ParsePstRotatorDatagram("<PST>AZ?</PST>")),
              std::vector{Kind::AskAzimuth});
    EXPECT_EQ(Kinds(station::ParsePstRotatorDatagram("<PST>EL?</PST>\n")),
              std::vector{Kind::AskElevation});
    for (const char* wrong : {"", "AZ?", "<PST><AZIMUTH>north</AZIMUTH></PST>",
                              "<XYZ><AZIMUTH>10</AZIMUTH></XYZ>", "<PST><QRA>KN34BJ</QRA></PST>"})
        EXPECT_TRUE(station::ParsePstRotatorDatagram(wrong).empty()) << wrong;
    EXPECT_EQ(station::PstRotatorReply(Kind::AskAzimuth, 85), "AZ:85.0\r");
    EXPECT_EQ(station::PstRotatorReply(Kind::AskElevation, 0), "EL:0.0\r");
}

TEST(RotorDatagrams, headingsBeyondOneTurnOrBelowNorth_areToldOnTheCompass) {
    // A rotator whose limits allow more than one turn points where heading modulo 360 does.
    for (const auto& [degrees, logger, pst] :
         {std::tuple{720.0, "R@0", "AZ:0.0\r"}, std::tuple{450.0, "R@900", "AZ:90.0\r"},
          std::tuple{-90.0, "R@2700", "AZ:270.0\r"}, std::tuple{359.96, "R@0", "AZ:0.0\r"},
          std::tuple{-0.04, "R@0", "AZ:0.0\r"}, std::tuple{359.94, "R@3599", "AZ:359.9\r"}}) {
        EXPECT_EQ(station::LoggerRotorHeading("R", degrees), logger) << degrees;
        EXPECT_EQ(station::PstRotatorReply(Kind::AskAzimuth, degrees), pst) << degrees;
    }
    EXPECT_EQ(station::PstRotatorReply(Kind::AskElevation, 90), "EL:90.0\r");
}

namespace {

// A first start writes both groups with their defaults; the notes of the ports name the
// datagrams' protocol, for the firewall the user opens.
TEST(RotorDatagramSettings, aFirstStartAddsBothGroups_theirPortsNamedAsUdp) {
    station_test::Dir dir;
    const QString path = dir.filePath("Ventrolo.ini");
    const station::RotorDatagramSettings logger = station::ReadLoggerRotorSettings(path);
    const station::RotorDatagramSettings pst = station::ReadPstRotatorSettings(path);
    EXPECT_FALSE(logger.enabled);
    EXPECT_EQ(logger.port, 12040);
    EXPECT_EQ(pst.port, 12000);
    const QByteArray file = dir.file("Ventrolo.ini");
    EXPECT_EQ(file.count("port=12040 ; its UDP port\n"), 1) << file.toStdString();
    EXPECT_EQ(file.count("port=12000 ; its UDP port\n"), 1) << file.toStdString();
    EXPECT_FALSE(file.contains("TCP")) << file.toStdString();
}

// Stepper 1 at 0, limits 0..500, 1.8 degrees and 15 ms a step; a peer on the loopback network.
struct RotorDatagramServerTest : engine_test::EngineFixture {
    static constexpr quint16 CommandPort = 47210;
    engine::NetworkTurns networkTurns{engine};
    QUdpSocket peer;
    QUdpSocket answers;

    RotorDatagramServerTest() {
        platform.processQtEvents = true;
        EXPECT_TRUE(answers.bind(QHostAddress(QHostAddress::LocalHost), CommandPort + 1));
    }
    static station::RotorDatagramSettings Settings(quint16 headingPort = 13010) {
        station::RotorDatagramSettings settings;
        settings.enabled = true;
        settings.port = CommandPort;
        settings.headingPort = headingPort;
        settings.rotor = "Loop";
        return settings;
    }
    void send(const QByteArray& datagram) {
        peer.writeDatagram(datagram, QHostAddress(QHostAddress::LocalHost), CommandPort);
    }
    bool settlesAt(core::Long value) {
        return QTest::qWaitFor(
            [&] { return state.StepCounter == value && (turns.empty() || !turns.back()); });
    }
    static QByteArray next(QUdpSocket& socket) {
        if (!QTest::qWaitFor([&] { return socket.hasPendingDatagrams(); }, 5000))
            return {};
        return socket.receiveDatagram().data();
    }
};

} // namespace

TEST_F(RotorDatagramServerTest, theLoggersDatagramTurns_theHeadingGoesBack_andTransmitRefuses) {
    QUdpSocket headings;
    ASSERT_TRUE(headings.bind(QHostAddress(QHostAddress::LocalHost), 0));
    RotorDatagramServer server(RotorDatagramServer::Protocol::Logger, state, engine, networkTurns,
                               platform);
    std::vector<engine::TurnRecord> records;
    QObject::connect(&engine, &engine::Engine::turnFinished,
                     [&](const engine::TurnRecord& record) { records.push_back(record); });
    ASSERT_TRUE(server.Listen(Settings(headings.localPort())));
    send("<N1MMRotor><rotor>Loop</rotor><goazi>90.0</goazi><offset>0.0</offset>"
         "<bidirectional>0</bidirectional><freqband>7.0</freqband></N1MMRotor>");
    EXPECT_TRUE(settlesAt(50));
    // After the turn, and then every second.
    QByteArray heading;
    while (heading != "Loop@900") {
        heading = next(headings);
        ASSERT_FALSE(heading.isEmpty());
    }
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().detail, "N1MM 127.0.0.1 goazi 90");

    transmit.on = true;
    send("<N1MMRotor><rotor>Loop</rotor><goazi>180</goazi></N1MMRotor>");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return records.back().end == engine::TurnRecord::End::Refused; }));
    EXPECT_EQ(records.back().refusal->text, "the rig transmits");
    EXPECT_EQ(state.StepCounter, 50);
    transmit.on = false;
    send("<N1MMRotor><rotor>Loop</rotor><goazi>1000</goazi></N1MMRotor>"); // beyond 900
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return records.back().refusal &&
               records.back().refusal->why == engine::TurnRefusal::Why::BeyondLimits;
    }));
    EXPECT_EQ(state.StepCounter, 50);
}

TEST_F(RotorDatagramServerTest, pstCommandsTurnParkAndStop_andQueriesAreAnsweredAtThePortAbove) {
    RotorDatagramServer server(RotorDatagramServer::Protocol::Pst, state, engine, networkTurns,
                               platform);
    server.SetParkAzimuth(18);
    ASSERT_TRUE(server.Listen(Settings()));
    send("<PST><AZIMUTH>45</AZIMUTH><ELEVATION>20</ELEVATION></PST>");
    EXPECT_TRUE(settlesAt(25));
    send("<PST>AZ?</PST>");
    EXPECT_EQ(next(answers), "AZ:45.0\r");
    send("<PST>EL?</PST>");
    EXPECT_EQ(next(answers), "EL:0.0\r");
    send("<PST><PARK>1</PARK></PST>");
    EXPECT_TRUE(settlesAt(10));

    platform.scheduleAfter(150, [&] { send("<PST><STOP>1</STOP></PST>"); });
    send("<PST><AZIMUTH>300</AZIMUTH></PST>");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !turns.empty() && !turns.back() && state.StepCounter > 10; }));
    platform.advance(500);
    EXPECT_LT(state.StepCounter, 100); // stopped well short of 166

    transmit.on = true;
    const core::Long before = state.StepCounter;
    send("<PST><AZIMUTH>90</AZIMUTH></PST>");
    send("<PST>AZ?</PST>");
    EXPECT_FALSE(next(answers).isEmpty());
    EXPECT_EQ(state.StepCounter, before);
}
