// The WSJT-X link against datagrams laid out as WSJT-X sends them: the decoder alone, then the
// link on a real localhost UDP port with its silence limit on the virtual clock.
#include "rig/WsjtxRig.h"

#include "rig/WsjtxDatagrams.h"
#include "rig/WsjtxMessage.h"
#include "support/FakePlatform.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "tuning/RigState.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace rig;
using namespace rig_test;

TEST(WsjtxMessageTest, statusHeartbeatAndClose_fromTheirPublishedLayout) {
    // A schema 2 status of an older WSJT-X, which ends after the transmitting flag: 14.074 MHz
    // FT8, Tx enabled, receiving.
    const QByteArray old = QByteArray::fromHex("adbccbda" // magic
                                               "00000002" // schema
                                               "00000001" // Status
                                               "00000006"
                                               "57534a542d58"     // id WSJT-X
                                               "0000000000d6c090" // dial 14074000 Hz
                                               "00000003"
                                               "465438" // mode FT8
                                               "00000006"
                                               "444c31414243" // DX call DL1ABC
                                               "ffffffff"     // report: null
                                               "00000003"
                                               "465438" // Tx mode FT8
                                               "01"     // Tx enabled
                                               "00");   // transmitting
    std::optional<WsjtxMessage> message = DecodeWsjtxDatagram(old);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->type, WsjtxMessage::Type::Status);
    EXPECT_EQ(message->id, "WSJT-X");
    EXPECT_EQ(message->dialHz, 14074000u);
    EXPECT_EQ(message->mode, "FT8");
    EXPECT_TRUE(message->txEnabled);
    EXPECT_FALSE(message->transmitting);

    message = DecodeWsjtxDatagram(WsjtxStatus(7074000, "FT4", true, "JTDX"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->id, "JTDX");
    EXPECT_EQ(message->dialHz, 7074000u);
    EXPECT_TRUE(message->transmitting);
    EXPECT_EQ(DecodeWsjtxDatagram(WsjtxHeartbeat())->type, WsjtxMessage::Type::Heartbeat);
    EXPECT_EQ(DecodeWsjtxDatagram(WsjtxClose())->type, WsjtxMessage::Type::Close);
    EXPECT_EQ(DecodeWsjtxDatagram(WsjtxDatagram(2, "WSJT-X"))->type, WsjtxMessage::Type::Other);
}

TEST(WsjtxMessageTest, damagedDatagramsAreNoMessage) {
    const QByteArray status = WsjtxStatus(14074000, "FT8", false);
    for (const QByteArray& bad : {
             QByteArray(), QByteArray::fromHex("adbccb"),
             WsjtxDatagram(1, "WSJT-X", {}, 3, 0xDABCCBAD), // another magic
             WsjtxDatagram(0, "WSJT-X", {}, 0),             // schemas WSJT-X never used
             WsjtxDatagram(0, "WSJT-X", {}, 4),
             status.left(40),                                         // cut off in the mode
             QByteArray::fromHex("adbccbda0000000300000000ffffff00"), // an id longer than all
         })
        EXPECT_FALSE(DecodeWsjtxDatagram(bad)) << bad.toHex().toStdString();
}

namespace {

struct WsjtxRigTest : ::testing::Test {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    WsjtxRig rig{platform, &log};
    // What the rig shows, as the link tells it.
    tuning::RigState shown{rig};
    QUdpSocket sender;
    QSignalSpy changed{&rig, &RigConnection::changed};

    WsjtxRigTest() {
        log.setTerminalShown(true);
        rig.setAddress({FreeUdpPort(), {}});
    }
    // Sends the datagrams; true once the link took the last of them.
    bool send(std::initializer_list<QByteArray> datagrams) {
        changed.clear();
        for (const QByteArray& datagram : datagrams)
            sender.writeDatagram(datagram, QHostAddress::LocalHost, quint16(rig.address().port));
        return changed.wait(5000);
    }
    RigReading read(bool transmitOnly = false) {
        std::optional<RigReading> reading;
        const auto connection = QObject::connect(&rig, &RigConnection::readingArrived,
                                                 [&](const RigReading& r) { reading = r; });
        EXPECT_TRUE(transmitOnly ? rig.requestTransmitState() : rig.requestReading());
        EXPECT_TRUE(QTest::qWaitFor([&] { return reading.has_value(); }, 5000));
        QObject::disconnect(connection);
        return reading.value_or(RigReading{});
    }
};

} // namespace

TEST_F(WsjtxRigTest, aStatusGivesTheDialAndTransmitState_andTheLinkSetsNothing) {
    ASSERT_TRUE(rig.open(1).ok);
    EXPECT_TRUE(rig.lineText().endsWith(" - not heard"));
    EXPECT_FALSE(read().kHz); // nothing heard yet

    ASSERT_TRUE(send({WsjtxStatus(14074000, "FT8", false)}));
    RigReading r = read();
    EXPECT_EQ(r.kHz, 14074.0f);
    EXPECT_EQ(r.transmitting, false);
    EXPECT_EQ(rig.capabilities().modeNames.at(shown.modeIndex() - 1), "FT8");
    EXPECT_EQ(rig.lineText(), QString("WSJT-X UDP %1").arg(rig.address().port));
    EXPECT_TRUE(log.TerminalBuffer().contains(" RX< WSJT-X status 14074000 Hz FT8 Tx enabled\r\n"));

    ASSERT_TRUE(send({WsjtxStatus(14074000, "FT8", true)}));
    r = read(true);
    EXPECT_TRUE(r.transmitOnly);
    EXPECT_EQ(r.transmitting, true);

    EXPECT_FALSE(rig.capabilities().canSetRig);
    EXPECT_EQ(rig.setFrequency(7074), CatResult::NotSent);
    EXPECT_EQ(rig.setMode(1), CatResult::NotSent);
    EXPECT_EQ(rig.setPtt(true), CatResult::NotSent);
    EXPECT_FALSE(shown.pttOn());
    rig.close();
    EXPECT_FALSE(rig.isOpen());
}

TEST_F(WsjtxRigTest, heartbeatsKeepTheStatus_silenceOrCloseLosesIt) {
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(send({WsjtxHeartbeat()}));
    EXPECT_TRUE(rig.heard());
    EXPECT_FALSE(read().kHz); // a heartbeat tells no dial
    ASSERT_TRUE(send({WsjtxStatus(7074000, "FT8", true)}));
    platform.advance(30000);
    ASSERT_TRUE(send({WsjtxHeartbeat()}));
    platform.advance(30000);
    RigReading r = read();
    EXPECT_EQ(r.kHz, 7074.0f); // the status of a minute ago still holds
    EXPECT_EQ(r.transmitting, true);

    // Two heartbeats missed: no frequency and no transmit state until it is heard again.
    changed.clear();
    platform.advance(WsjtxRig::LostAfterMs - 30000 + 1);
    EXPECT_FALSE(rig.heard());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(rig.lineText().endsWith(" - not heard"));
    r = read();
    EXPECT_FALSE(r.kHz);
    EXPECT_FALSE(r.transmitting);

    ASSERT_TRUE(send({WsjtxStatus(7076000, "FT8", false)}));
    EXPECT_EQ(read().kHz, 7076.0f);
    ASSERT_TRUE(send({WsjtxClose()}));
    EXPECT_FALSE(rig.heard());
    EXPECT_FALSE(read().kHz);
}

TEST_F(WsjtxRigTest, damagedForeignAndOtherProgramsDatagramsAreIgnored) {
    ASSERT_TRUE(rig.open(1).ok);
    // Taken in order: once the heartbeat is in, the rest were seen and gave nothing.
    ASSERT_TRUE(send({QByteArray("\x01\x02\x03"), WsjtxStatus(3573000, "FT8", false).left(50),
                      WsjtxDatagram(1, "WSJT-X", {}, 7), QByteArray(400, 'x'),
                      WsjtxDatagram(2, "WSJT-X"), WsjtxHeartbeat()}));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(read().kHz);

    // A second program is not followed while the first is heard; it is once the first closes.
    ASSERT_TRUE(send({WsjtxStatus(14074000, "FT8", false)}));
    ASSERT_TRUE(send({WsjtxStatus(7074000, "FT8", true, "JTDX"), WsjtxHeartbeat()}));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(read().kHz, 14074.0f);
    ASSERT_TRUE(send({WsjtxClose("JTDX"), WsjtxHeartbeat()})); // not the followed one's close
    EXPECT_TRUE(rig.heard());
    ASSERT_TRUE(send({WsjtxClose()}));
    ASSERT_TRUE(send({WsjtxStatus(7074000, "FT8", false, "JTDX")}));
    EXPECT_EQ(read().kHz, 7074.0f);
}

TEST_F(WsjtxRigTest, anInstanceNotNamed_neverTakesTheLink_andIsLoggedOnce) {
    // A second WSJT-X for another rig ("--rig-name=IC7300") on the same port.
    ASSERT_TRUE(rig.open(1).ok);
    test_support::LogCapture logged;
    ASSERT_TRUE(send({WsjtxStatus(14074000, "FT8", false, "WSJT-X - IC7300"),
                      WsjtxStatus(14075000, "FT8", false, "WSJT-X - IC7300"), WsjtxHeartbeat()}));
    EXPECT_FALSE(read().kHz);
    EXPECT_EQ(logged.with("ignored the datagrams of \"WSJT-X - IC7300\"").size(), 1)
        << logged.text().toStdString();
    ASSERT_TRUE(send({WsjtxStatus(7074000, "FT8", false)}));
    EXPECT_EQ(read().kHz, 7074.0f);

    // Named in the settings, it is the one followed.
    test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[wsjtx]\nid=WSJT-X - IC7300, JTDX\n");
    core::SettingsReport report;
    WsjtxAddress address = LoadWsjtxAddress(dir.filePath("Ventrolo.ini"), &report);
    EXPECT_EQ(address.ids, (QStringList{"WSJT-X - IC7300", "JTDX"}));
    EXPECT_TRUE(report.isEmpty());
    address.port = rig.address().port;
    rig.setAddress(address);
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(send({WsjtxStatus(7074000, "FT8", false), WsjtxHeartbeat(),
                      WsjtxStatus(14074000, "FT8", false, "WSJT-X - IC7300")}));
    EXPECT_EQ(read().kHz, 14074.0f);
}

TEST_F(WsjtxRigTest, aPortInUseIsToldAndLeavesTheLinkClosed) {
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress::LocalHost, quint16(rig.address().port)));
    EXPECT_FALSE(rig.open(1).ok);
    EXPECT_FALSE(rig.isOpen());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith(
        QString("Cannot listen for WSJT-X on UDP %1: ").arg(rig.address().port)));
}

TEST_F(WsjtxRigTest, onAMulticastGroupItHearsWhatIsSentToTheGroup) {
    rig.setAddress({FreeUdpPort(), QStringLiteral("224.0.0.1")});
    if (!rig.open(1).ok)
        GTEST_SKIP() << "no multicast here: " << platform.messages.at(0).text.toStdString();
    changed.clear();
    sender.writeDatagram(WsjtxStatus(14074000, "FT8", false), QHostAddress("224.0.0.1"),
                         quint16(rig.address().port));
    if (!changed.wait(2000))
        GTEST_SKIP() << "multicast datagrams do not loop back on this host";
    EXPECT_EQ(read().kHz, 14074.0f);
}
