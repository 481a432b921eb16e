// Following the rig through Hamlib's own rigctld (its dummy rig), its dial turned with rigctl as
// another station program would: the real daemon, the real clock, the engine on the simulated
// parallel port.
#include "rig/RigctldRig.h"
#include "support/LocalPort.h"
#include "support/QtPrinters.h"
#include "support/RigTestHelpers.h"
#include "tuning/FollowingStation.h"
#include "tuning/RigControlView.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

using namespace rig;
using namespace tuning;

namespace {

// rigctld with the dummy rig, keyed through its CAT (so that "t" answers), on a free port.
class Daemon {
public:
    Daemon() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    ~Daemon() { stop(); }
    // Started and taking connections; the test's event loop does not run meanwhile.
    bool start() {
        process_.start(QStringLiteral("rigctld"),
                       {"-m", "1", "-P", "RIG", "-t", QString::number(port)});
        if (!process_.waitForStarted(5000))
            return false;
        return test_support::Listening(port, 5000);
    }
    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.kill();
        process_.waitForFinished(5000);
    }
    // rigctl as another program talks to the daemon (blocking: no poll of ours runs meanwhile).
    bool rigctl(const QStringList& command) const {
        return QProcess::execute(
                   QStringLiteral("rigctl"),
                   QStringList{"-m", "2", "-r", QStringLiteral("localhost:%1").arg(port)} +
                       command) == 0;
    }
    quint16 port = 0;

private:
    QProcess process_;
};

using test_support::WaitFor;

} // namespace

TEST(RigctldFollowTest, theStepperFollowsTheDaemonsRig_holdsWhileItTransmits_andSurvivesARestart) {
    if (QStandardPaths::findExecutable(QStringLiteral("rigctld")).isEmpty())
        GTEST_SKIP() << "rigctld is not installed (scripts/install-deps installs it)";
    Daemon daemon;
    ASSERT_TRUE(daemon.start());
    ASSERT_TRUE(daemon.rigctl({"F", "7000000"}));
    QTemporaryDir dir;
    FollowingStation station(dir.path(),
                             "[rig]\nlink=rigctld\n[rigctld]\nhost=localhost\nport=" +
                                 QByteArray::number(daemon.port) + "\n",
                             "7000,100,\"\"\r\n7200,200,\"\"\r\n");
    auto [tuning, state, rigctld] = std::tie(station.tuning, station.state, station.rigctld);
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Rigctld, rigctld);

    tuning.Load();
    ASSERT_TRUE(tuning.port().link() == tuning::RigLinkChoice::Link::Rigctld);
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 100; }));

    ASSERT_TRUE(daemon.rigctl({"F", "7100000"}));
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 150; }));

    // Another program keys the rig: the dial moves, the stepper waits for the end of transmit.
    ASSERT_TRUE(daemon.rigctl({"T", "1", "F", "7150000"}));
    EXPECT_TRUE(WaitFor([&] {
        return tuning.rigTransmitting() && tuning.rigState().frequencyText() == "7150 kHz";
    }));
    EXPECT_EQ(state.StepCounter, 150);
    ASSERT_TRUE(daemon.rigctl({"T", "0"}));
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 175; }));

    // The daemon gone: no reading, nothing moves; back: followed again.
    daemon.stop();
    EXPECT_TRUE(WaitFor([&] { return tuning.rigState().frequencyText() == "-----.- kHz"; }));
    EXPECT_TRUE(tuning::FrameCaptionOf(tuning).contains("no connection"));
    EXPECT_EQ(state.StepCounter, 175);
    ASSERT_TRUE(daemon.start());
    ASSERT_TRUE(daemon.rigctl({"F", "7050000"}));
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 125; }));

    tuning.port().ComportClicked();
    EXPECT_FALSE(rigctld.isOpen());
}
