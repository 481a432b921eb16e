// The Kenwood-family link against a TS-590 and an FT-991A on a scripted line, on the virtual
// clock: the commands as the rigs' CAT descriptions write them, and what a line does to them.
#include "rig/KenwoodRig.h"

#include "rig/KenwoodTransceiver.h"
#include "rig/ScriptedLine.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "tuning/RigState.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace rig;
using rig_test::KenwoodTransceiver;
using rig_test::ScriptedLine;

namespace {

using Written = std::vector<QByteArray>;

struct KenwoodRigTest : ::testing::Test {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    ScriptedLine line{platform};
    KenwoodTransceiver transceiver;
    KenwoodRig rig{platform, line, log};
    // What the rig shows, as the link tells it.
    tuning::RigState shown{rig};
    std::optional<RigReading> reading;
    std::vector<RigReading> announced;

    KenwoodRigTest() {
        platform.processQtEvents = true;
        line.rig = [this](const QByteArray& command) { return transceiver.answer(command); };
        QObject::connect(&rig, &RigConnection::readingArrived,
                         [this](const RigReading& r) { reading = r; });
        QObject::connect(&rig, &RigConnection::readingAnnounced,
                         [this](const RigReading& r) { announced.push_back(r); });
        log.setTerminalShown(true);
    }
    void useFt991a() {
        transceiver.yaesu = true;
        rig.setModel(QStringLiteral("FT-991A"), 0);
    }
    std::optional<RigReading> read() {
        reading.reset();
        EXPECT_TRUE(rig.requestReading());
        platform.advance(1000);
        return reading;
    }
    QString mode() const { return rig.capabilities().modeNames.value(shown.modeIndex() - 1); }
};

} // namespace

TEST_F(KenwoodRigTest, aTs590IsReadByIf_setByFaMdTxRx_andAutoInformationIsOnWhileOpen) {
    ASSERT_TRUE(rig.open(1).ok);
    EXPECT_EQ(line.openedWith, "115200,N,8,1");
    platform.advance(50);
    EXPECT_TRUE(transceiver.autoInfo);
    const std::optional<RigReading> r = read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kHz, 7100.0f);
    EXPECT_EQ(r->transmitting, false);
    EXPECT_EQ(mode(), "USB");
    EXPECT_EQ(line.written, (Written{"AI2;", "IF;"}));
    EXPECT_TRUE(log.TerminalBuffer().contains("TX> IF; {Ask Status}"));

    EXPECT_EQ(rig.setFrequency(14070), CatResult::Sent);
    EXPECT_EQ(rig.setMode(3), CatResult::Sent);
    EXPECT_EQ(rig.setPtt(true), CatResult::Sent);
    platform.advance(50);
    EXPECT_EQ(Written(line.written.end() - 3, line.written.end()),
              (Written{"FA00014070000;", "MD3;", "TX;"}));
    EXPECT_EQ(transceiver.dialHz, 14070000);
    EXPECT_EQ(read()->transmitting, true);
    EXPECT_EQ(shown.swrState(), -1); // the TS-590's meter is not read
    EXPECT_EQ(rig.setFrequency(144000), CatResult::OutOfRange);

    // The S-meter: 0015 of 0030 is S9.
    std::optional<float> s;
    QObject::connect(&rig, &RigConnection::sMeterArrived, [&](std::optional<float> v) { s = v; });
    ASSERT_TRUE(rig.requestSMeter());
    platform.advance(100);
    EXPECT_EQ(s, 9.0f);

    // Closing releases the PTT and turns auto-information off, before the line goes; also
    // when the release still waited behind a read.
    rig.close();
    EXPECT_EQ(line.written.back(), "RX;AI0;");
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    ASSERT_TRUE(rig.requestReading());
    EXPECT_EQ(rig.setPtt(false), CatResult::Sent);
    rig.close();
    EXPECT_EQ(line.written.back(), "RX;AI0;");
}

TEST_F(KenwoodRigTest, anFt991aIsReadByIfAndTx_inNineDigits_andItsSwrMeterWhileTransmitting) {
    useFt991a();
    transceiver.dialHz = 14070000;
    ASSERT_TRUE(rig.open(1).ok);
    EXPECT_EQ(line.openedWith, "38400,N,8,1");
    std::optional<RigReading> r = read();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kHz, 14070.0f);
    EXPECT_EQ(r->transmitting, false);
    EXPECT_EQ(line.written, (Written{"AI1;", "IF;", "TX;"}));

    EXPECT_EQ(rig.setFrequency(7074), CatResult::Sent);
    EXPECT_EQ(rig.setMode(int(rig.capabilities().modeNames.indexOf("DATA-U")) + 1),
              CatResult::Sent);
    EXPECT_EQ(rig.setPtt(true), CatResult::Sent);
    platform.advance(50);
    EXPECT_EQ(Written(line.written.end() - 3, line.written.end()),
              (Written{"FA007074000;", "MD0C;", "TX1;"}));
    EXPECT_EQ(mode(), "DATA-U");

    // Keyed: the SWR meter is read too; 200 of 255 is high.
    transceiver.swr = 200;
    r = read();
    EXPECT_EQ(r->transmitting, true);
    EXPECT_EQ(line.written.back(), "RM6;");
    EXPECT_EQ(shown.swrState(), 1);
    EXPECT_EQ(rig.setPtt(false), CatResult::Sent);
    platform.advance(50);
    EXPECT_EQ(line.written.back(), "TX0;");
    rig.close();
    EXPECT_EQ(line.written.back(), "AI0;");
}

TEST_F(KenwoodRigTest, aBusyRigIsAskedAgain_errorsNoiseAndHalfAnswersGiveNoFrequency) {
    ASSERT_TRUE(rig.open(1).ok);
    // "?;" twice, then the answer.
    transceiver.busyAnswers = 2;
    EXPECT_EQ(read()->kHz, 7100.0f);
    EXPECT_EQ(std::count(line.written.begin(), line.written.end(), "IF;"), 3);
    // Busy all along: given up after the tries.
    transceiver.busyAnswers = 100;
    EXPECT_FALSE(read()->kHz);
    transceiver.busyAnswers = 0;

    // An error, an unfinished command, a short IF, noise with a terminator, half an answer
    // without one: each gives a reading without frequency, and the next answer is read.
    for (const char* bad : {"E;", "O;", "IF00007100000;", "\x13\xfe\xff;", "IF0000710"}) {
        line.rig = [this, bad](const QByteArray& command) {
            return command == "IF;" ? QByteArray(bad) : transceiver.answer(command);
        };
        const std::optional<RigReading> r = read();
        ASSERT_TRUE(r) << bad;
        EXPECT_FALSE(r->kHz) << bad;
        line.rig = [this](const QByteArray& command) { return transceiver.answer(command); };
        EXPECT_EQ(read()->kHz, 7100.0f) << bad;
    }

    // Silence: answered when the time is up.
    line.silent = true;
    reading.reset();
    ASSERT_TRUE(rig.requestReading());
    platform.advance(200);
    ASSERT_TRUE(reading);
    EXPECT_FALSE(reading->kHz);
}

TEST_F(KenwoodRigTest, autoInformationIsToldAtOnce_withTheTransmitStateWhereIfHasIt) {
    ASSERT_TRUE(rig.open(1).ok);
    line.arrive("FA00007150000;");
    line.arrive("IF00007155000     +00000000012000000 ;", 20);
    line.arrive("MD3;", 40);
    platform.advance(60);
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[0].kHz, 7150.0f);
    EXPECT_FALSE(announced[0].transmitting);
    EXPECT_EQ(announced[1].kHz, 7155.0f);
    EXPECT_EQ(announced[1].transmitting, true);
    EXPECT_EQ(mode(), "CW");
    // VFO B, a broken FA, another command's answer: nothing announced.
    line.arrive("FB00014000000;FA0000715;SM00010;");
    platform.advance(20);
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(KenwoodRigTest, aPortPulledOutIsReopenedByItself_andAutoInformationTurnedOnAgain) {
    ASSERT_TRUE(rig.open(1).ok);
    line.gone = true;
    EXPECT_FALSE(read()->kHz);
    EXPECT_TRUE(rig.lineText().endsWith(" - no connection"));
    line.gone = false;
    line.written.clear();
    platform.advance(SerialExchanges::LongestReopenMs + 1);
    ASSERT_TRUE(rig.connected());
    EXPECT_EQ(line.written, Written{"AI2;"});
    EXPECT_EQ(read()->kHz, 7100.0f);
}

TEST_F(KenwoodRigTest, anFt991aOffersItsSwrMeterAndPowerInWatts_aTs590WithoutTheMeterNone) {
    EXPECT_EQ(rig.swrMeter(), nullptr); // the TS-590's record reads no SWR
    useFt991a();
    ASSERT_TRUE(rig.open(1).ok);
    SwrMeter* meter = rig.swrMeter();
    ASSERT_NE(meter, nullptr);
    EXPECT_TRUE(meter->powerUnsettable().isEmpty());
    std::vector<std::optional<double>> values;
    const auto keep = [&values](std::optional<double> v) { values.push_back(v); };
    meter->readPower(keep);
    platform.advance(200);
    bool set = false;
    meter->setPower(5, [&set](bool ok) { set = ok; });
    platform.advance(200);
    meter->readPower(keep);
    // 64 of the meter's 255, half its high mark of 128: halfway from 1 to the high reading.
    transceiver.swr = 64;
    meter->readSwr(keep);
    platform.advance(200);
    EXPECT_TRUE(set);
    EXPECT_EQ(transceiver.powerW, 5);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0], 50.0);
    EXPECT_EQ(values[1], 5.0);
    EXPECT_EQ(values[2], 2.0);

    // A line gone answers nothing, once.
    rig.close();
    int answers = 0;
    meter->readSwr([&answers](std::optional<double> v) { answers += v ? 10 : 1; });
    meter->setPower(5, [&answers](bool ok) { answers += ok ? 10 : 1; });
    platform.advance(200);
    EXPECT_EQ(answers, 2);
}

TEST_F(KenwoodRigTest, aRunThatEndedKeyed_isReleasedAtTheNextOpening_anOperatorsPttNever) {
    const QString record = dir.path() + "/" + KeyedRecord::FileName;
    rig.keepKeyedRecordIn(dir.path());
    ASSERT_TRUE(rig.open(1).ok);
    ASSERT_EQ(rig.setPtt(true), CatResult::Sent);
    platform.advance(50);
    ASSERT_TRUE(transceiver.transmitting);
    EXPECT_TRUE(QFile::exists(record)) << "kept while our PTT keys the rig";

    // A later run of the program: a link of its own on a line of its own to the same rig.
    const auto openedOn = [&](ScriptedLine& newLine) {
        newLine.rig = line.rig;
        auto opened = std::make_unique<KenwoodRig>(platform, newLine, log);
        opened->keepKeyedRecordIn(dir.path());
        EXPECT_TRUE(opened->open(1).ok);
        platform.advance(50);
        return opened;
    };

    // The run ends here without a word to the rig (a crash, the power gone): the next run's
    // first opening releases the rig it left keyed.
    ScriptedLine nextLine{platform};
    const std::unique_ptr<KenwoodRig> next = openedOn(nextLine);
    EXPECT_TRUE(nextLine.wrote("RX;"));
    EXPECT_FALSE(transceiver.transmitting);
    EXPECT_FALSE(QFile::exists(record));
    next->close();

    // Without the record the rig's PTT is the operator's: opening leaves it keyed.
    transceiver.transmitting = true;
    ScriptedLine operatorsLine{platform};
    const std::unique_ptr<KenwoodRig> third = openedOn(operatorsLine);
    EXPECT_FALSE(operatorsLine.wrote("RX;"));
    EXPECT_TRUE(transceiver.transmitting);
}
