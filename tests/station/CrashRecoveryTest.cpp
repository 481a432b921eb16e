// The real program killed in the middle of a turn and started again.
#include "core/ConfigFile.h"
#include "station/JournalCopies.h"
#include "station/StationTestSupport.h"
#include "support/FakePlatform.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using station::JournalRecord;
using station_test::Client;

namespace {

struct CrashRecoveryTest : ::testing::Test {
    station_test::Dir dir;
    quint16 port = station_test::FreePort();

    void SetUp() override {
        // The rotator server on, and a configuration, so that no first-start message waits.
        dir.write("Ventrolo.ini", QString("[rotctld]\nenabled=true\nport=%1\n").arg(port).toUtf8());
        core::ProgramState state;
        state.PcSpeed = 1000;
        state.StoredProfiles[0].CustomDelayMs = 40; // 50 steps in two seconds
        testing_support::FakePlatform platform;
        ASSERT_TRUE(core::ConfigFile(state, platform, dir.path()).SaveConfig());
    }
    std::unique_ptr<QProcess> startVentrolo() {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(environment);
        process->start(VENTROLO_BINARY, {"--lpt", "sim", "--dir", dir.path()});
        return process;
    }
    // The azimuth the server answers once done(azimuth) holds (the program may still start).
    template <typename Done> double azimuth(Done done) {
        double azimuth = -1;
        (void)QTest::qWaitFor(
            [&] {
                Client client(port);
                if (client.socket.state() != QTcpSocket::ConnectedState)
                    return false;
                azimuth = client.ask("p\n", 2).split('\n').value(0).toDouble();
                return done(azimuth);
            },
            20000);
        return azimuth;
    }
};

} // namespace

TEST_F(CrashRecoveryTest, killedMidTurn_restartsWithTheJournalsCountersAndSaysSo) {
    const auto first = startVentrolo();
    EXPECT_EQ(azimuth([](double az) { return az == 0; }), 0);
    EXPECT_EQ(Client(port).ask("P 45 0\n"), "RPRT 0\n");
    EXPECT_EQ(azimuth([](double az) { return az == 45; }), 45);
    EXPECT_EQ(Client(port).ask("P 450 0\n"), "RPRT 0\n"); // to step 250, ten seconds
    const double at = azimuth([](double az) { return az > 180; });
    first->kill(); // SIGKILL: nothing is saved
    ASSERT_TRUE(first->waitForFinished(10000));
    // The journal follows the turn: it is at most about a second of steps behind.
    const auto journal = station::NewestJournalRecord(dir.filePath("Ventrolo.journal"));
    ASSERT_TRUE(journal);
    const JournalRecord::Stepper stepper1 = journal->steppers[0];
    const auto stepAt = static_cast<core::Long>(at / 1.8);
    EXPECT_GE(stepper1.counter, stepAt - 1000 / 40 - 5);
    EXPECT_LE(stepper1.counter, stepAt + 1000 / 40 + 5);
    EXPECT_EQ(stepper1.turningTo, 250);
    EXPECT_LT(stepper1.uncertainty(), 250 - stepper1.counter);
    EXPECT_TRUE(dir.file("Ventrolo.cfg").contains("\r\n0,0,500,250,1\r\n"));

    // The second run says so (and asks about the calibration run) before anything else.
    const auto second = startVentrolo();
    QByteArray said;
    const QByteArray told = QString("Stepper 1 was turning to 250, its counter last written at %1")
                                .arg(stepper1.counter)
                                .toUtf8();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            said += second->readAllStandardError();
            return said.contains(told);
        },
        20000))
        << said.toStdString();
    second->terminate(); // SIGTERM: the program saves and ends, the question unanswered
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(dir.file("Ventrolo.cfg")
                    .contains("\r\n" + QByteArray::number(stepper1.counter) + ",0,500,250,1\r\n"));
    const auto last = station::NewestJournalRecord(dir.filePath("Ventrolo.journal"));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->steppers, (JournalRecord{{{{stepper1.counter, 0}, {0, 0}}}}.steppers));
}
