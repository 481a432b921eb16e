// The real program killed in the middle of a turn and started again.
#include "core/ConfigFile.h"
#include "station/JournalRecord.h"
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
    EXPECT_EQ(Client(port).ask("P 90 0\n"), "RPRT 0\n");
    EXPECT_GT(azimuth([](double az) { return az > 50; }), 50);
    first->kill(); // SIGKILL: nothing is saved
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_EQ(JournalRecord::Parse(dir.file("Ventrolo.journal"))->steppers[0],
              (JournalRecord::Stepper{25, 0, 50}));
    EXPECT_TRUE(dir.file("Ventrolo.cfg").contains("\r\n0,0,500,250,1\r\n"));

    // The second run says so (and asks about the calibration run) before anything else.
    const auto second = startVentrolo();
    QByteArray said;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            said += second->readAllStandardError();
            return said.contains("Stepper 1 was turning from 25 to 50");
        },
        20000))
        << said.toStdString();
    second->terminate(); // SIGTERM: the program saves and ends, the question unanswered
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(dir.file("Ventrolo.cfg").contains("\r\n25,0,500,250,1\r\n"));
    EXPECT_EQ(dir.file("Ventrolo.journal"), (JournalRecord{{{{25, 0}, {0, 0}}}}.Serialize()));
}
