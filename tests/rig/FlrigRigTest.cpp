// The flrig link against a stand-in flrig: time limits and reconnecting on the virtual clock,
// the HTTP on a real localhost socket.
#include "rig/FlrigRig.h"

#include "rig/FakeFlrig.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "tuning/RigState.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;
using rig_test::FakeFlrig;

namespace {

const QByteArray Modes = FakeFlrig::Value(
    "<array><data><value>LSB</value><value>USB</value><value>CW</value><value>AM</value>"
    "</data></array>");
const QByteArray Fault = FakeFlrig::Http(
    "<?xml version=\"1.0\"?>\r\n<methodResponse><fault>\r\n\t<value><struct><member><name>"
    "faultCode</name><value><i4>-1</i4></value></member><member><name>faultString</name><value>"
    "rig is not keyed by CAT</value></member></struct></value>\r\n</fault></methodResponse>\r\n");

QByteArray FlrigAnswer(const QByteArray& method) {
    if (method == "rig.get_modes")
        return FakeFlrig::Http(Modes);
    if (method == "rig.get_vfo")
        return FakeFlrig::Http(FakeFlrig::Value("7050000"));
    if (method == "rig.get_mode")
        return FakeFlrig::Http(FakeFlrig::Value("USB"));
    if (method == "rig.get_ptt")
        return FakeFlrig::Http(FakeFlrig::Value("<i4>1</i4>"));
    if (method == "rig.get_smeter")
        return FakeFlrig::Http(FakeFlrig::Value("<i4>60</i4>"));
    if (method == "rig.set_ptt")
        return Fault;
    return FakeFlrig::Http(FakeFlrig::Value("<i4>0</i4>"));
}

struct FlrigRigTest : ::testing::Test {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    FakeFlrig flrig;
    FlrigRig rig{platform, &log};
    // What the rig shows, as the link tells it.
    tuning::RigState shown{rig};
    std::optional<RigReading> reading;

    FlrigRigTest() {
        log.setTerminalShown(true);
        flrig.answer = FlrigAnswer;
        rig.setAddress({QStringLiteral("127.0.0.1"), flrig.port()});
        QObject::connect(&rig, &RigConnection::readingArrived,
                         [this](const RigReading& r) { reading = r; });
    }
    bool waitConnected() {
        return QTest::qWaitFor([this] { return rig.connected(); }, 5000);
    }
    std::optional<RigReading> read() {
        reading.reset();
        EXPECT_TRUE(rig.requestReading());
        (void)QTest::qWaitFor([this] { return reading.has_value(); }, 5000);
        return reading;
    }
    // Reconnect attempts on the virtual clock until the server answers.
    bool reconnect() {
        for (int i = 0; i < 50 && !rig.connected(); ++i) {
            platform.advance(FlrigRig::LongestReconnectMs + 1);
            (void)QTest::qWaitFor([this] { return rig.connected(); }, 100);
        }
        return rig.connected();
    }
};

} // namespace

TEST_F(FlrigRigTest, readsFrequencyModeAndTransmit_setsThem_andShowsTheCallsInTheCatLog) {
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());
    EXPECT_EQ(rig.capabilities().modeNames, QStringList({"LSB", "USB", "CW", "AM"}));
    std::optional<RigReading> r = read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kHz, 7050.0f);
    EXPECT_EQ(r->transmitting, true);
    EXPECT_EQ(shown.modeIndex(), 2);
    EXPECT_TRUE(log.TerminalBuffer().contains(" TX> rig.get_vfo\r\n"));
    EXPECT_TRUE(log.TerminalBuffer().contains(" RX< rig.get_vfo 7050000\r\n"));

    // The transmit state alone: rig.get_ptt and nothing else.
    flrig.calls.clear();
    reading.reset();
    ASSERT_TRUE(rig.requestTransmitState());
    ASSERT_TRUE(QTest::qWaitFor([this] { return reading.has_value(); }, 5000));
    EXPECT_TRUE(reading->transmitOnly);
    EXPECT_EQ(reading->transmitting, true);
    EXPECT_EQ(flrig.calls, QList<QByteArray>{"rig.get_ptt"});

    QSignalSpy sMeter(&rig, &RigConnection::sMeterArrived);
    ASSERT_TRUE(rig.requestSMeter());
    ASSERT_TRUE(sMeter.wait(5000));
    EXPECT_EQ(sMeter.first().first().value<std::optional<float>>(), 9.0f); // 60 of 100

    EXPECT_EQ(rig.setFrequency(7100.5f), CatResult::Sent);
    ASSERT_TRUE(flrig.received("rig.set_vfo 7100500.0"));
    EXPECT_TRUE(flrig.bodies.last().contains("<value><double>7100500.0</double></value>"));
    EXPECT_EQ(rig.setMode(1), CatResult::Sent);
    EXPECT_TRUE(flrig.received("rig.set_mode LSB"));
    EXPECT_EQ(rig.setFrequency(0), CatResult::OutOfRange);

    // A fault is an answer: no value, the server still there.
    flrig.answer = [](const QByteArray& method) {
        return method == "rig.get_vfo" ? Fault : FlrigAnswer(method);
    };
    r = read();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->kHz);
    EXPECT_TRUE(rig.connected());

    // flrig cannot key this rig: our PTT is told that the rig does not transmit. Closing
    // releases it.
    QSignalSpy inhibited(&rig, &RigConnection::transmitInhibited);
    EXPECT_EQ(rig.setPtt(true), CatResult::Sent);
    EXPECT_TRUE(flrig.received("rig.set_ptt 1"));
    EXPECT_TRUE(inhibited.wait(5000));
    rig.close();
    EXPECT_TRUE(flrig.received("rig.set_ptt 0"));
    EXPECT_FALSE(shown.pttOn());
}

TEST_F(FlrigRigTest, garbageAHalfReplyAndALostServerGiveReadingsWithoutFrequency_thenItComesBack) {
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());

    // Something that is not XML-RPC: no frequency, the server given up and asked again later.
    flrig.answer = [](const QByteArray& method) {
        return method == "rig.get_vfo" ? FakeFlrig::Http("hello") : FlrigAnswer(method);
    };
    std::optional<RigReading> r = read();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->kHz);
    EXPECT_FALSE(rig.connected());
    EXPECT_TRUE(rig.lineText().endsWith(" - no connection"));
    r = read(); // at once, nothing asked
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->kHz);
    flrig.answer = FlrigAnswer;
    ASSERT_TRUE(reconnect());

    // Half an answer and then silence: given up when its time is up.
    flrig.answer = [](const QByteArray& method) -> QByteArray {
        return method == "rig.get_vfo"
                   ? "HTTP/1.1 200 OK\r\nContent-length: 300\r\n\r\n<?xml version=\"1.0\"?>"
                   : FlrigAnswer(method);
    };
    reading.reset();
    ASSERT_TRUE(rig.requestReading());
    EXPECT_FALSE(rig.requestReading()); // one at a time
    ASSERT_TRUE(flrig.received("rig.get_vfo"));
    (void)QTest::qWaitFor([] { return false; }, 50);
    platform.advance(FlrigRig::ReplyLimitMs + 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return reading.has_value(); }, 5000));
    EXPECT_FALSE(reading->kHz);
    EXPECT_FALSE(rig.connected());
    flrig.answer = FlrigAnswer;
    ASSERT_TRUE(reconnect());

    // The server gone while our PTT is keyed: readings without a frequency, the release owed
    // and sent once it is back.
    flrig.answer = [](const QByteArray& method) {
        return method == "rig.set_ptt" ? FakeFlrig::Http(FakeFlrig::Value("<i4>0</i4>"))
                                       : FlrigAnswer(method);
    };
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    ASSERT_TRUE(flrig.received("rig.set_ptt 1"));
    flrig.stop();
    r = read();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->kHz);
    EXPECT_FALSE(rig.connected());
    EXPECT_EQ(rig.setPtt(false), CatResult::NotSent);
    EXPECT_EQ(rig.setFrequency(7000), CatResult::NotSent);
    flrig.calls.clear();
    ASSERT_TRUE(flrig.listen(flrig.port()));
    ASSERT_TRUE(reconnect());
    EXPECT_TRUE(flrig.received("rig.set_ptt 0"));
    r = read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kHz, 7050.0f);
}

TEST_F(FlrigRigTest, withoutTheServersModeListTheButtonsShowTheModesTheRigReported) {
    flrig.answer = [](const QByteArray& method) {
        return method == "rig.get_modes" ? Fault : FlrigAnswer(method);
    };
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected()); // a fault is an answer
    EXPECT_TRUE(rig.capabilities().modeNames.isEmpty());
    ASSERT_TRUE(read());
    EXPECT_EQ(rig.capabilities().modeNames, QStringList{"USB"});
    EXPECT_EQ(shown.modeIndex(), 1);
}

TEST_F(FlrigRigTest, aRunThatEndedKeyed_isReleasedWhenFlrigIsNextHeard_anOperatorsPttNever) {
    const QString record = dir.path() + "/" + KeyedRecord::FileName;
    flrig.answer = [](const QByteArray& method) {
        return method == "rig.set_ptt" ? FakeFlrig::Http(FakeFlrig::Value("<i4>0</i4>"))
                                       : FlrigAnswer(method);
    };
    rig.keepKeyedRecordIn(dir.path());
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_TRUE(waitConnected());
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    ASSERT_TRUE(flrig.received("rig.set_ptt 1"));
    EXPECT_TRUE(QFile::exists(record)) << "kept while our PTT keys the rig";

    // The run ends here without a word to flrig (a crash, the power gone).
    flrig.calls.clear();
    FlrigRig next{platform, &log};
    next.setAddress({QStringLiteral("127.0.0.1"), flrig.port()});
    next.keepKeyedRecordIn(dir.path());
    ASSERT_TRUE(next.open(1).ok);
    EXPECT_TRUE(flrig.received("rig.set_ptt 0"));
    EXPECT_FALSE(QFile::exists(record));
    next.close();

    // Without the record the rig's PTT is the operator's: flrig heard leaves it keyed.
    flrig.calls.clear();
    FlrigRig third{platform, &log};
    third.setAddress({QStringLiteral("127.0.0.1"), flrig.port()});
    third.keepKeyedRecordIn(dir.path());
    ASSERT_TRUE(third.open(1).ok);
    ASSERT_TRUE(QTest::qWaitFor([&] { return third.connected(); }, 5000));
    EXPECT_FALSE(flrig.calls.contains("rig.set_ptt 0"));
}
