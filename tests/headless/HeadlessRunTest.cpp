// The real program started without a display: it follows Hamlib's dummy rig through the table,
// turns for rotctl, shows it all on its web page, says why it cannot start, and ends on SIGTERM
// having saved (and parked, where it is told to, as its port log shows).
#include "core/ConfigFile.h"
#include "support/Browser.h"
#include "support/FakePlatform.h"
#include "support/LocalPort.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A Hamlib program that listens on a free port, stopped with the test.
struct Daemon {
    QProcess process;
    quint16 port = FreePort();

    bool start(const QString& program, const QStringList& arguments) {
        process.start(program, arguments + QStringList{"-t", QString::number(port)});
        if (!process.waitForStarted(5000))
            return false;
        return test_support::Listening(port, 5000);
    }
    ~Daemon() {
        process.kill();
        process.waitForFinished(5000);
    }
};

struct HeadlessRunTest : ::testing::Test {
    QTemporaryDir dir;
    quint16 rotctldPort = FreePort();
    QProcess ventrolo;
    QByteArray said; // stderr so far

    // A profile that follows the rig through Table.cat (7000 kHz at step 100 to 7200 kHz at
    // step 300) over the given rigctld, with the rotator server on, and the web server on when
    // given a port.
    void configure(quint16 rigctldPort, quint16 webPort = 0) {
        QString settings = QString("[rig]\nlink=rigctld\n[rigctld]\nhost=127.0.0.1\nport=%1\n"
                                   "[rotctld]\nenabled=true\nport=%2\n")
                               .arg(rigctldPort)
                               .arg(rotctldPort);
        if (webPort)
            settings += QString("[web]\nenabled=true\nport=%1\n").arg(webPort);
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), settings.toUtf8());
        test_support::WriteFile(dir.filePath("Table.cat"),
                                "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                                "7000,100,\"\"\r\n7200,300,\"\"\r\n");
        core::ProgramState state;
        state.PcSpeed = 1000;
        state.StoredProfiles[0].CustomDelayMs = 2;
        state.StoredProfiles[0].TableWindowShown = true;
        testing_support::FakePlatform platform;
        ASSERT_TRUE(core::ConfigFile(state, platform, dir.path()).SaveConfig());
    }
    void start(const QStringList& more = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        ventrolo.setProcessEnvironment(environment);
        ventrolo.start(VENTROLO_BINARY,
                       QStringList{"--headless", "--lpt", "sim", "--dir", dir.path()} + more);
        ASSERT_TRUE(ventrolo.waitForStarted(5000));
    }
    // --headless --status on the directory: its exit code and output.
    std::pair<int, QByteArray> status() {
        QProcess query;
        query.setProcessEnvironment(ventrolo.processEnvironment());
        query.start(VENTROLO_BINARY, {"--headless", "--status", "--dir", dir.path()});
        if (!query.waitForFinished(10000))
            return {-1, {}};
        return {query.exitCode(), query.readAllStandardOutput() + query.readAllStandardError()};
    }
    bool says(const QByteArray& text, int timeoutMs = 20000) {
        return QTest::qWaitFor(
            [&] {
                said += ventrolo.readAllStandardError();
                return said.contains(text);
            },
            timeoutMs);
    }
    // The azimuth the rotator server answers once done(azimuth) holds.
    template <typename Done> double azimuth(Done done) {
        double azimuth = -1;
        (void)QTest::qWaitFor(
            [&] {
                QProcess rotctl;
                rotctl.start("rotctl",
                             {"-m", "2", "-r", QString("127.0.0.1:%1").arg(rotctldPort), "p"});
                if (!rotctl.waitForFinished(5000) || rotctl.exitCode() != 0)
                    return false;
                azimuth = rotctl.readAllStandardOutput().split('\n').value(0).toDouble();
                return done(azimuth);
            },
            20000);
        return azimuth;
    }
};

} // namespace

TEST_F(HeadlessRunTest, followsTheDummyRigThroughTheTableAndEndsOnSigtermHavingSaved) {
    Daemon rigctld;
    ASSERT_TRUE(rigctld.start("rigctld", {"-m", "1"}));
    ASSERT_EQ(
        QProcess::execute(
            "rigctl", {"-m", "2", "-r", QString("127.0.0.1:%1").arg(rigctld.port), "F", "7100000"}),
        0);
    configure(rigctld.port);
    start();
    ASSERT_TRUE(says("following the rig")) << said.toStdString();
    // No display is needed, so no platform plugin is loaded.
    const QByteArray maps =
        test_support::ReadFile(QString("/proc/%1/maps").arg(ventrolo.processId()));
    EXPECT_FALSE(maps.isEmpty());
    EXPECT_FALSE(maps.contains("/platforms/"));
    // 7100 kHz lies halfway: step 200 is 360 degrees at 200 steps per turn.
    EXPECT_EQ(azimuth([](double az) { return az == 360; }), 360) << said.toStdString();
    ASSERT_EQ(
        QProcess::execute(
            "rigctl", {"-m", "2", "-r", QString("127.0.0.1:%1").arg(rigctld.port), "F", "7150000"}),
        0);
    EXPECT_EQ(azimuth([](double az) { return az == 450; }), 450) << said.toStdString();
    const auto [running, told] = status();
    EXPECT_EQ(running, 0) << told.toStdString();
    for (const QByteArray& line :
         {QByteArray("counter: 250\n"), QByteArray("following: yes\n"),
          QByteArray("frequency: 7150000 Hz"),
          "rig: rigctld 127.0.0.1:" + QByteArray::number(rigctld.port) + "\n",
          "rotctld: " + QByteArray::number(rotctldPort) + "\n"})
        EXPECT_TRUE(told.contains(line)) << line.toStdString() << "\n" << told.toStdString();

    ventrolo.terminate();
    QElapsedTimer ending;
    ending.start();
    ASSERT_TRUE(ventrolo.waitForFinished(10000));
    EXPECT_LT(ending.elapsed(), 5000);
    EXPECT_EQ(ventrolo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ventrolo.exitCode(), 0);
    said += ventrolo.readAllStandardError();
    EXPECT_TRUE(said.contains("ventrolo.headless: ended")) << said.toStdString();
    EXPECT_TRUE(test_support::ReadFile(dir.filePath("Ventrolo.cfg")).contains("\r\n250,"));
    EXPECT_EQ(status().first, 3); // none runs
    // Asking about a directory that is not there makes none.
    QProcess query;
    query.start(VENTROLO_BINARY, {"--headless", "--status", "--dir", dir.filePath("not/there")});
    ASSERT_TRUE(query.waitForFinished(10000));
    EXPECT_EQ(query.exitCode(), 3);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("not")));
}

// Set on the dummy rig with rigctl: frequency (F Hz) or PTT (T 0|1).
int Rigctl(quint16 port, const QString& command, const QString& value) {
    return QProcess::execute("rigctl",
                             {"-m", "2", "-r", QString("127.0.0.1:%1").arg(port), command, value});
}

TEST_F(HeadlessRunTest, itsWebPageShowsTheDummyRigFollowed_andTransmitHoldingTheTurns) {
    Daemon rigctld;
    // The dummy rig's own PTT, which rigctl keys and "t" reads.
    ASSERT_TRUE(rigctld.start("rigctld", {"-m", "1", "-P", "RIG"}));
    ASSERT_EQ(Rigctl(rigctld.port, "F", "7100000"), 0);
    const quint16 webPort = FreePort();
    configure(rigctld.port, webPort);
    start();
    ASSERT_TRUE(says("web server on http://127.0.0.1:")) << said.toStdString();

    test_support::Browser browser;
    browser.navigate(QString("http://127.0.0.1:%1/").arg(webPort));
    const auto text = [](const char* id) {
        return QString("document.getElementById('%1').textContent").arg(id);
    };
    browser.waitFor(text("connection") + " === 'Connected'");
    browser.waitFor(text("counter") + " === '200'", 20000);
    ASSERT_EQ(Rigctl(rigctld.port, "F", "7150000"), 0);
    browser.waitFor(text("frequency") + " === '7150.00 kHz'", 20000);
    browser.waitFor(text("counter") + " === '250'", 20000);
    EXPECT_EQ(browser.evaluate(text("lock")).toString(), "Locked");

    ASSERT_EQ(Rigctl(rigctld.port, "T", "1"), 0);
    browser.waitFor("document.getElementById('txHold').getClientRects().length > 0", 20000);
    EXPECT_TRUE(browser.evaluate("document.getElementById('jogUp1').disabled").toBool());
    ASSERT_EQ(Rigctl(rigctld.port, "T", "0"), 0);
    browser.waitFor("document.getElementById('txHold').getClientRects().length === 0", 20000);
    browser.click("#jogUp1");
    browser.waitFor(text("counter") + " === '251'");
    EXPECT_EQ(browser.errors(), QStringList());

    ventrolo.terminate();
    ASSERT_TRUE(ventrolo.waitForFinished(10000));
    EXPECT_EQ(ventrolo.exitCode(), 0);
    browser.waitFor(text("connection") + " === 'Station cannot be reached'");
}

TEST_F(HeadlessRunTest, withoutARigItTurnsForRotctl_aSecondStationInTheDirectoryIsRefused) {
    configure(FreePort()); // no rigctld: the link stays unanswered, nothing moves
    start();
    ASSERT_TRUE(says("following the rig")) << said.toStdString();
    EXPECT_EQ(azimuth([](double az) { return az == 0; }), 0);
    EXPECT_EQ(
        QProcess::execute(
            "rotctl", {"-m", "2", "-r", QString("127.0.0.1:%1").arg(rotctldPort), "P", "90", "0"}),
        0);
    EXPECT_EQ(azimuth([](double az) { return az == 90; }), 90);

    QProcess second;
    second.setProcessEnvironment(ventrolo.processEnvironment());
    second.start(VENTROLO_BINARY, {"--headless", "--lpt", "sim", "--dir", dir.path()});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardError().contains("ventrolo.message"));
    // Nor when the lock file is gone (a directory it cannot be written in is the same).
    ASSERT_TRUE(QFile::remove(dir.filePath("Ventrolo.lock")));
    second.start(VENTROLO_BINARY, {"--headless", "--lpt", "sim", "--dir", dir.path()});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(
        second.readAllStandardError().contains("another Ventrolo on this computer runs in"));
    ventrolo.terminate();
    ASSERT_TRUE(ventrolo.waitForFinished(10000));
    EXPECT_EQ(ventrolo.exitCode(), 0);
}

TEST_F(HeadlessRunTest,
       itsParkOnSigterm_pulsesEachStepDirDriverOnItsOwnStepLine_asThePortLogShows) {
    // Two step/dir drivers (STEP D0 and D5, 2 microsteps); stepper 2, not selected, stands at 5.
    test_support::WriteFile(
        dir.filePath("Ventrolo.ini"),
        "[rig]\nlink=rigctld\n[rigctld]\nhost=127.0.0.1\nport=" + QByteArray::number(FreePort()) +
            "\n[stepper1]\noutput=stepdir\nmicrosteps=2\n"
            "[stepper2]\noutput=stepdir\nmicrosteps=2\n"
            "[headless]\npark=true\n");
    core::ProgramState state;
    state.PcSpeed = 1000;
    state.StoredProfiles[1].StepCounter = 5;
    testing_support::FakePlatform platform;
    ASSERT_TRUE(core::ConfigFile(state, platform, dir.path()).SaveConfig());
    const QString log = dir.filePath("port.log");
    start({"--port-log", log});
    ASSERT_TRUE(says("status socket listens")) << said.toStdString();
    ventrolo.terminate();
    ASSERT_TRUE(ventrolo.waitForFinished(20000));

    // Rising edges of each STEP line, read from the log line by line.
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int rises0 = 0, rises5 = 0;
    int last = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3 || parts[1] != "888")
            continue;
        const int value = parts[2].toInt();
        rises0 += (value & 1) && !(last & 1);
        rises5 += (value & 32) && !(last & 32);
        last = value;
    }
    EXPECT_EQ(rises5, 10) << "stepper 2's own STEP line, D5";
    EXPECT_EQ(rises0, 0) << "stepper 1's STEP line stays low";
}

// Started without --headless where no screen can be had (no display named, or one named that
// nobody serves), the desktop program points to the station without windows instead of Qt's
// abort, and touches nothing in its directory.
TEST(DesktopProgramWithoutDisplayTest, saysToStartHeadlessAndWritesNothing) {
    for (const QString& display : {QString(), QStringLiteral(":4242")}) {
        SCOPED_TRACE(display.toStdString());
        QTemporaryDir dir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        QProcess ventrolo;
        ventrolo.setProcessEnvironment(environment);
        ventrolo.start(VENTROLO_BINARY, {"--lpt", "sim", "--dir", dir.path()});
        ASSERT_TRUE(ventrolo.waitForFinished(10000));
        EXPECT_EQ(ventrolo.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(ventrolo.exitCode(), 1);
        const QString said = ventrolo.readAllStandardError();
        EXPECT_TRUE(said.contains("ventrolo: no display: start with --headless for the station "
                                  "without windows\n"))
            << said.toStdString();
        EXPECT_FALSE(said.contains("Reinstalling")) << said.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList());
    }
}

TEST_F(HeadlessRunTest, aLockLeftByAPowerCutOrAnotherComputer_isTakenOverAndSaid) {
    configure(FreePort());
    for (const QByteArray& left : {QByteArray(), QByteArray(32, '\0'),
                                   QByteArray("4711\nventrolo\nshack-pc\n"
                                              "0123456789abcdef\nboot\n")}) {
        test_support::WriteFile(dir.filePath("Ventrolo.lock"), left);
        said.clear();
        start();
        ASSERT_TRUE(says("taking over the stale lock " + dir.filePath("Ventrolo.lock").toUtf8()))
            << said.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return status().first == 0; }, 20000));
        ventrolo.terminate();
        ASSERT_TRUE(ventrolo.waitForFinished(10000));
        EXPECT_EQ(ventrolo.exitCode(), 0);
    }
}
