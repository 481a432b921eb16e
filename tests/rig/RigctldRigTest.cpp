// The rigctld link against a stand-in daemon: time limits and reconnecting on the virtual clock,
// the bytes on a real localhost socket.
#include "rig/RigctldRig.h"

#include "rig/FakeRigctld.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "tuning/RigState.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;
using rig_test::FakeRigctld;

namespace {

struct RigctldRigTest : ::testing::Test {
    testing_support::FakePlatform platform;
    FakeRigctld daemon;
    RigctldRig rig{platform};
    // What the rig shows, as the link tells it.
    tuning::RigState shown{rig};
    std::optional<RigReading> reading;

    RigctldRigTest() {
        rig.setAddress({QStringLiteral("127.0.0.1"), daemon.port()});
        QObject::connect(&rig, &RigConnection::readingArrived,
                         [this](const RigReading& r) { reading = r; });
        daemon.reply = [](const QByteArray& line) -> QByteArray {
            if (line == "f")
                return "7050000\n";
            if (line == "m")
                return "USB\n2400\n";
            if (line == "t")
                return "1\n";
            if (line == "T 1")
                return "RPRT -1\n";
            return "RPRT 0\n";
        };
    }
    bool waitConnected() {
        return QTest::qWaitFor([this] { return rig.connected(); }, 5000);
    }
    // A reading asked for and waited for; nullopt when none came.
    std::optional<RigReading> read() {
        reading.reset();
        EXPECT_TRUE(rig.requestReading());
        (void)QTest::qWaitFor([this] { return reading.has_value(); }, 5000);
        return reading;
    }
};

} // namespace

TEST_F(RigctldRigTest, readsFrequencyModeAndTransmit_setsThem_andAnUnkeyableRigIsInhibited) {
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());
    const std::optional<RigReading> r = read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kHz, 7050.0f);
    EXPECT_EQ(r->transmitting, true);
    EXPECT_EQ(rig.capabilities().modeNames.at(shown.modeIndex() - 1), "USB");

    // The transmit state alone: "t" and nothing else.
    daemon.lines.clear();
    reading.reset();
    ASSERT_TRUE(rig.requestTransmitState());
    ASSERT_TRUE(QTest::qWaitFor([this] { return reading.has_value(); }, 5000));
    EXPECT_TRUE(reading->transmitOnly);
    EXPECT_EQ(reading->transmitting, true);
    EXPECT_EQ(daemon.lines, QList<QByteArray>{"t"});

    EXPECT_EQ(rig.setFrequency(7100.5f), CatResult::Sent);
    EXPECT_TRUE(daemon.received("F 7100500"));
    EXPECT_EQ(rig.setMode(1), CatResult::Sent);
    EXPECT_TRUE(daemon.received("M LSB 0"));
    EXPECT_EQ(rig.setFrequency(0), CatResult::OutOfRange);

    // The daemon cannot key this rig: our PTT is told that the rig does not transmit.
    QSignalSpy inhibited(&rig, &RigConnection::transmitInhibited);
    EXPECT_EQ(rig.setPtt(true), CatResult::Sent);
    EXPECT_TRUE(shown.pttOn());
    EXPECT_TRUE(inhibited.wait(5000));
    // Closing releases the PTT before the connection goes.
    rig.close();
    EXPECT_TRUE(daemon.received("T 0"));
    EXPECT_FALSE(shown.pttOn());
}

TEST_F(RigctldRigTest,
       aRigThatCannotReadItsPtt_isOneThatDoesNotReportTransmit_untilTheNextConnection) {
    daemon.reply = [](const QByteArray& line) -> QByteArray {
        if (line == "f")
            return "7050000\n";
        if (line == "m")
            return "USB\n2400\n";
        if (line == "t")
            return "RPRT -11\n"; // feature not available
        return "RPRT 0\n";
    };
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());
    EXPECT_TRUE(rig.capabilities().reportsTransmit);
    const std::optional<RigReading> r = read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kHz, 7050.0f);
    EXPECT_FALSE(r->transmitting.has_value());
    EXPECT_FALSE(rig.capabilities().reportsTransmit);
    // Asked for the transmit state alone, it gives a whole reading, as a rig without that read.
    reading.reset();
    ASSERT_TRUE(rig.requestTransmitState());
    ASSERT_TRUE(QTest::qWaitFor([this] { return reading.has_value(); }, 5000));
    EXPECT_FALSE(reading->transmitOnly);
    EXPECT_EQ(reading->kHz, 7050.0f);

    daemon.dropClients();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !rig.connected(); }, 5000));
    platform.advance(RigctldRig::ReconnectMs + 1);
    ASSERT_TRUE(waitConnected());
    EXPECT_TRUE(rig.capabilities().reportsTransmit);
}

TEST_F(RigctldRigTest, garbageSilenceAndALostDaemonGiveReadingsWithoutFrequency_thenItReconnects) {
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());

    // Nonsense instead of a frequency, and an error report instead of the mode's two lines:
    // no frequency, and the replies that follow still belong to their commands.
    daemon.reply = [](const QByteArray& line) -> QByteArray {
        return line == "f" ? "hello\n" : line == "m" ? "RPRT -11\n" : "0\n";
    };
    std::optional<RigReading> r = read();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->kHz);
    EXPECT_EQ(r->transmitting, false);
    EXPECT_EQ(daemon.connections, 1);

    // Silence: the reading is answered, empty, when its time is up; the connection is made anew.
    daemon.reply = [](const QByteArray&) { return QByteArray(); };
    daemon.lines.clear();
    reading.reset();
    ASSERT_TRUE(rig.requestReading());
    EXPECT_FALSE(rig.requestReading()); // one at a time
    ASSERT_TRUE(daemon.received("t"));
    platform.advance(RigctldRig::ReplyLimitMs + 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return reading.has_value(); }, 5000));
    EXPECT_FALSE(reading->kHz);
    EXPECT_FALSE(rig.connected());
    EXPECT_TRUE(rig.lineText().endsWith(" - no connection"));
    platform.advance(RigctldRig::ReconnectMs + 1);
    ASSERT_TRUE(waitConnected());
    EXPECT_EQ(daemon.connections, 2);

    // A line nobody asked for is not a daemon's: dropped and made again.
    daemon.reply = [](const QByteArray&) { return QByteArray("1\n2\n3\n4\n"); };
    (void)read();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !rig.connected(); }, 5000));

    // The daemon gone: readings come at once, without a frequency; our PTT released meanwhile
    // is told when it is back.
    daemon.reply = [](const QByteArray&) { return QByteArray("RPRT 0\n"); };
    platform.advance(RigctldRig::ReconnectMs + 1);
    ASSERT_TRUE(waitConnected());
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    ASSERT_TRUE(daemon.received("T 1"));
    daemon.stop();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !rig.connected(); }, 5000));
    EXPECT_EQ(rig.setPtt(false), CatResult::NotSent);
    platform.advance(RigctldRig::ReconnectMs + 1);
    r = read();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->kHz);
    EXPECT_EQ(shown.frequencyText(), "-----.- kHz");
    EXPECT_EQ(rig.setFrequency(7000), CatResult::NotSent);
    EXPECT_EQ(rig.setPtt(true), CatResult::NotSent);

    daemon.reply = [](const QByteArray& line) -> QByteArray {
        return line == "f" ? "7074000\n" : line == "m" ? "PKTUSB\n3000\n" : "RPRT 0\n";
    };
    ASSERT_TRUE(daemon.listen(daemon.port()));
    for (int i = 0; i < 50 && !rig.connected(); ++i) {
        platform.advance(RigctldRig::ReconnectMs + 1);
        (void)QTest::qWaitFor([this] { return rig.connected(); }, 100);
    }
    ASSERT_TRUE(rig.connected());
    EXPECT_TRUE(daemon.received("T 0"));
    r = read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kHz, 7074.0f);
    EXPECT_FALSE(r->transmitting); // "RPRT 0" is no PTT state
}

TEST_F(RigctldRigTest, aDaemonStartedWithVfo_isAskedWithTheVfoNamed_fromTheFirstReading) {
    // As rigctld --vfo: a rig command without its VFO waits for one, and nothing is answered.
    daemon.reply = [](const QByteArray& line) -> QByteArray {
        if (line == "\\chk_vfo")
            return "1\n";
        if (line == "f currVFO")
            return "7074000\n";
        if (line == "m currVFO")
            return "PKTUSB\n3000\n";
        if (line == "t currVFO")
            return "0\n";
        if (line.startsWith("F currVFO ") || line.startsWith("T currVFO "))
            return "RPRT 0\n";
        return {};
    };
    ASSERT_TRUE(rig.open(1).ok);
    // Asked at once, before the daemon has said how it runs.
    reading.reset();
    (void)QTest::qWaitFor([this] { return rig.connected(); }, 5000);
    ASSERT_TRUE(rig.requestReading());
    ASSERT_TRUE(QTest::qWaitFor([this] { return reading.has_value(); }, 5000));
    EXPECT_EQ(reading->kHz, 7074.0f);
    EXPECT_EQ(reading->transmitting, false);
    EXPECT_EQ(daemon.lines.first(), "\\chk_vfo");
    EXPECT_EQ(rig.setFrequency(7100), CatResult::Sent);
    EXPECT_TRUE(daemon.received("F currVFO 7100000"));
    EXPECT_FALSE(daemon.lines.contains("f"));

    // A daemon without --vfo is asked as before.
    rig.close();
    daemon.reply = [](const QByteArray& line) -> QByteArray {
        return line == "\\chk_vfo" ? "0\n"
               : line == "f"       ? "7050000\n"
               : line == "m"       ? "USB\n2400\n"
                                   : "0\n";
    };
    daemon.lines.clear();
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());
    const std::optional<RigReading> plain = read();
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->kHz, 7050.0f);
    EXPECT_TRUE(daemon.lines.contains("f"));
}

TEST(RigctldAddressTest, hostAndPortAreReadAsTyped_andDamagedEntriesGiveTheDefaults) {
    EXPECT_EQ(ParseRigctldAddress(" shack-pi:4533 ")->text(), "shack-pi:4533");
    EXPECT_EQ(ParseRigctldAddress("localhost")->port, RigctldAddress::DefaultPort);
    EXPECT_EQ(ParseRigctldAddress("[::1]:4532")->text(), "[::1]:4532");
    for (const char* bad : {"", ":4532", "host:0", "host:70000", "two words", "host:port"})
        EXPECT_FALSE(ParseRigctldAddress(QString::fromLatin1(bad))) << bad;
}

TEST_F(RigctldRigTest, aDaemonThatKeepsFailingIsTriedEverLessOften_untilItAnswersAgain) {
    daemon.reply = [](const QByteArray&) { return QByteArray(); }; // connects, never answers
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());
    // Each attempt: connected, the reading unanswered in ReplyLimitMs, dropped; the next
    // attempt after 2, 4, 8, 16 s and then every 32 s.
    const auto attemptsWithin = [&](double ms) {
        const int before = daemon.connections;
        for (double waited = 0; waited < ms; waited += 500) {
            (void)rig.requestReading();
            platform.advance(500);
            (void)QTest::qWaitFor([] { return false; }, 5); // the socket's events
        }
        return daemon.connections - before;
    };
    EXPECT_LE(attemptsWithin(60000), 5);
    EXPECT_LE(attemptsWithin(64000), 3); // every 32 s by now
    // An answer brings the short interval back.
    daemon.reply = [](const QByteArray& line) -> QByteArray {
        return line == "f" ? "7074000\n" : line == "m" ? "USB\n2400\n" : "0\n";
    };
    bool answered = false;
    for (int i = 0; i < 80 && !answered; ++i) {
        reading.reset();
        (void)rig.requestReading();
        platform.advance(500);
        (void)QTest::qWaitFor([this] { return reading.has_value() && reading->kHz; }, 20);
        answered = reading.has_value() && reading->kHz;
    }
    ASSERT_TRUE(answered);
    daemon.reply = [](const QByteArray&) { return QByteArray(); };
    EXPECT_GE(attemptsWithin(12000), 2);
}

TEST_F(RigctldRigTest, aRunThatEndedKeyed_isReleasedAtTheNextConnection_anOperatorsPttNever) {
    QTemporaryDir dir;
    const QString record = dir.path() + "/" + KeyedRecord::FileName;
    rig.keepKeyedRecordIn(dir.path());
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    ASSERT_TRUE(daemon.received("T 1"));
    EXPECT_TRUE(QFile::exists(record)) << "kept while our PTT keys the rig";

    // The run ends here without a word to the daemon (a crash, the power gone): the next run's
    // first connection releases the rig it left keyed.
    daemon.lines.clear();
    RigctldRig next{platform};
    next.setAddress({QStringLiteral("127.0.0.1"), daemon.port()});
    next.keepKeyedRecordIn(dir.path());
    ASSERT_TRUE(next.open(1).ok);
    EXPECT_TRUE(daemon.received("T 0"));
    EXPECT_FALSE(QFile::exists(record));
    next.close();

    // Without the record the rig's PTT is the operator's: connecting leaves it keyed.
    daemon.lines.clear();
    RigctldRig third{platform};
    third.setAddress({QStringLiteral("127.0.0.1"), daemon.port()});
    third.keepKeyedRecordIn(dir.path());
    ASSERT_TRUE(third.open(1).ok);
    ASSERT_TRUE(QTest::qWaitFor([&] { return third.connected(); }, 5000));
    ASSERT_TRUE(third.requestReading());
    ASSERT_TRUE(daemon.received("f"));
    EXPECT_FALSE(daemon.lines.contains("T 0"));
}
