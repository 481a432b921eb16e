// Following the rig as WSJT-X tells of it: status datagrams on a real localhost port, nothing
// asked of WSJT-X, the real clock, the engine on the simulated parallel port.
#include "rig/WsjtxDatagrams.h"
#include "support/QtPrinters.h"
#include "tuning/FollowingStation.h"
#include "tuning/RigControlView.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace rig;
using namespace tuning;
using namespace rig_test;

TEST(WsjtxFollowTest, theStepperFollowsTheDialWsjtxReports_andHoldsWhileItTransmits) {
    const quint16 port = FreeUdpPort();
    QTemporaryDir dir;
    FollowingStation station(dir.path(),
                             "[rig]\nlink=wsjtx\n[wsjtx]\nport=" + QByteArray::number(port) + "\n",
                             "7000,100,\"\"\r\n7200,200,\"\"\r\n");
    auto [tuning, state, link] = std::tie(station.tuning, station.state, station.wsjtx);
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Wsjtx, link);
    tuning.Load();
    ASSERT_EQ(tuning.port().link(), RigLinkChoice::Link::Wsjtx);
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());

    // WSJT-X sends its status on every change and its heartbeat every 15 s; here the status
    // goes out every 300 ms, as the test changes it.
    QUdpSocket wsjtx;
    QByteArray status = WsjtxStatus(7100000, "FT8", false);
    QTimer sender;
    QObject::connect(&sender, &QTimer::timeout,
                     [&] { wsjtx.writeDatagram(status, QHostAddress::LocalHost, port); });
    sender.start(300);
    const auto waitFor = [](const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 15000);
    };
    EXPECT_TRUE(waitFor([&] { return state.StepCounter == 150; }));

    status = WsjtxStatus(7050000, "FT8", false);
    EXPECT_TRUE(waitFor([&] { return state.StepCounter == 125; }));

    // WSJT-X transmits: the dial it reports is not followed until it ends.
    status = WsjtxStatus(7150000, "FT8", true);
    EXPECT_TRUE(waitFor([&] {
        return tuning.rigTransmitting() && tuning.rigState().frequencyText() == "7150 kHz";
    }));
    EXPECT_EQ(state.StepCounter, 125);
    status = WsjtxStatus(7150000, "FT8", false);
    EXPECT_TRUE(waitFor([&] { return state.StepCounter == 175; }));
    // Its status and heartbeat are its announcements: polls agree with them, nothing stopped.
    QTest::qWait(4 * state.ComPollMs);
    EXPECT_FALSE(tuning.announcements().stopped());

    // WSJT-X closes: no frequency, nothing moves.
    sender.stop();
    wsjtx.writeDatagram(WsjtxClose(), QHostAddress::LocalHost, port);
    EXPECT_TRUE(waitFor([&] { return tuning.rigState().frequencyText() == "-----.- kHz"; }));
    EXPECT_TRUE(tuning::FrameCaptionOf(tuning).contains("not heard"));
    EXPECT_EQ(state.StepCounter, 175);

    tuning.port().ComportClicked();
    EXPECT_FALSE(link.isOpen());
}

TEST(WsjtxFollowTest, withHaltWhileTurning_aTurnSendsHaltTxFirst_toWhereWsjtxSendsFrom) {
    const quint16 port = FreeUdpPort();
    QTemporaryDir dir;
    FollowingStation station(dir.path(),
                             "[rig]\nlink=wsjtx\n[wsjtx]\nport=" + QByteArray::number(port) +
                                 "\nhaltWhileTurning=true\n",
                             "7000,100,\"\"\r\n7200,200,\"\"\r\n");
    auto [tuning, state, link] = std::tie(station.tuning, station.state, station.wsjtx);
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Wsjtx, link);
    tuning.Load();
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());

    // WSJT-X with Tx enabled, receiving, on 7100 kHz: the turn there halts its Tx first.
    QUdpSocket wsjtx;
    ASSERT_TRUE(wsjtx.bind(QHostAddress::LocalHost, 0));
    std::vector<QByteArray> received;
    QObject::connect(&wsjtx, &QUdpSocket::readyRead, [&] {
        while (wsjtx.hasPendingDatagrams())
            received.push_back(wsjtx.receiveDatagram().data());
    });
    QByteArray status = WsjtxStatus(7100000, "FT8", false, "WSJT-X", true);
    QTimer sender;
    QObject::connect(&sender, &QTimer::timeout,
                     [&] { wsjtx.writeDatagram(status, QHostAddress::LocalHost, port); });
    sender.start(300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.StepCounter == 150; }, 15000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !received.empty(); }, 5000));
    // Halt Tx, as the protocol lays it out: magic, schema, type 8, the id, auto only.
    const QByteArray expected = WsjtxDatagram(8, "WSJT-X", [](QDataStream& out) { out << true; });
    EXPECT_EQ(received.front(), expected);
    EXPECT_TRUE(station.view.StatusText().contains("WSJT-X Tx halted for a turn"));

    // Tx off (as WSJT-X reports once halted): the next turn sends nothing.
    status = WsjtxStatus(7100000, "FT8", false, "WSJT-X", false);
    QTest::qWait(700);
    received.clear();
    status = WsjtxStatus(7050000, "FT8", false, "WSJT-X", false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.StepCounter == 125; }, 15000));
    QTest::qWait(300);
    EXPECT_TRUE(received.empty());
    sender.stop();
    tuning.port().ComportClicked();
}
