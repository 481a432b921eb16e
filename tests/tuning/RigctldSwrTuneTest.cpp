// The SWR tune through a rigctld daemon whose rig is emulated here: its SWR meter, its power
// as 0..1 of its most, its PTT and dial; and how the tune ends when the daemon's rig does
// something the tune did not ask for.
#include "rig/FakeRigctld.h"
#include "support/QtPrinters.h"
#include "tuning/RigTuningFixture.h"

#include <QScopeGuard>
#include <algorithm>
#include <cmath>

using tuning_test::RigTuningFixture;

namespace {

// A transceiver of 100 W behind the daemon, at 7000 kHz in USB; its loop resonates where the
// stepper stands at resonance.
struct DaemonRig {
    rig_test::FakeRigctld daemon;
    qint64 hz = 7000000;
    QByteArray mode = "USB";
    bool ptt = false;
    double level = 0.25; // 25 W
    core::Long resonance = 103;
    const core::ProgramState* state = nullptr;
    testing_support::FakePlatform* platform = nullptr;
    // When each "l SWR" came.
    std::vector<double> swrReadAt;
    // Replies the test puts in place of the rig's own.
    std::function<std::optional<QByteArray>(const QByteArray&)> instead;

    DaemonRig() {
        daemon.reply = [this](const QByteArray& line) { return answer(line); };
    }
    QByteArray answer(const QByteArray& line) {
        if (instead)
            if (const std::optional<QByteArray> reply = instead(line))
                return *reply;
        const QList<QByteArray> words = line.split(' ');
        if (line == "f")
            return QByteArray::number(hz) + '\n';
        if (line == "m")
            return mode + "\n2400\n";
        if (line == "t")
            return ptt ? "1\n" : "0\n";
        if (line == "l STRENGTH")
            return "-20\n";
        if (line == "l SWR") {
            swrReadAt.push_back(platform->steadyMs());
            if (!ptt)
                return "RPRT -9\n";
            const double off = double(state->StepCounter - resonance);
            return QByteArray::number(std::min(9.9, 1 + 0.1 * off * off)) + '\n';
        }
        if (line == "l RFPOWER")
            return QByteArray::number(level) + '\n';
        if (words.size() == 4 && words[0] == "\\power2mW")
            return QByteArray::number(words[1].toDouble() * 100000) + '\n';
        if (words.size() == 3 && words[0] == "L" && words[1] == "RFPOWER")
            level = words[2].toDouble();
        else if (words.size() == 2 && words[0] == "T")
            ptt = words[1] == "1";
        else if (words.size() == 3 && words[0] == "M")
            mode = words[1];
        else if (words.size() == 2 && words[0] == "F")
            hz = words[1].toLongLong();
        return "RPRT 0\n";
    }
    qsizetype lastIndexOf(const QByteArray& line) const { return daemon.lines.lastIndexOf(line); }
};

struct RigctldSwrTuneTest : RigTuningFixture {
    DaemonRig daemonRig;
    rig::RigctldRig link{platform};
    QObject scope;
    std::vector<double> turnEndedAt; // the tune's turns while keyed

    RigctldSwrTuneTest() {
        daemonRig.state = &state;
        daemonRig.platform = &platform;
        platform.processQtEvents = true;
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Rigctld, link);
        test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                                "[rig]\nlink=rigctld\n[rigctld]\nhost=127.0.0.1\nport=" +
                                    QByteArray::number(daemonRig.daemon.port()) + "\n");
        links.Load();
        QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [this] {
            if (tuning.swrTuneKeyed())
                turnEndedAt.push_back(platform.steadyMs());
        });
    }
    ~RigctldSwrTuneTest() override {
        // The tuning outlives this link: it goes back to the CAT link before the link goes.
        tuning.port().ComPortOpen(0);
        tuning.port().SelectSimulatedRig();
    }
    // The virtual clock runs the polls and the reconnections, the real event loop the socket.
    void run(double ms) {
        for (double t = 0; t < ms; t += 50) {
            platform.advance(50);
            QTest::qWait(2);
        }
    }
    // The start-up row (7000 kHz, position 100) sent and followed.
    void openAndFollow() {
        loadTable("7000,100,\"\"\r\n7200,200,\"\"\r\n");
        tuning.port().ComportClicked();
        ASSERT_TRUE(tuning.port().portOpen());
        for (int i = 0; i < 100 && state.StepCounter != 100; ++i)
            run(500);
        ASSERT_EQ(state.StepCounter, 100);
    }
    QString told() const {
        return platform.messages.empty() ? QString() : platform.messages.back().text;
    }
};

} // namespace

TEST_F(RigctldSwrTuneTest, readsTheDaemonsSwr_settledAfterEachTurn_andEndsAtTheLowest) {
    ASSERT_NO_FATAL_FAILURE(openAndFollow());
    tuning.rigCommands().SwrTuneClicked();

    EXPECT_TRUE(platform.messages.empty()) << told().toStdString();
    EXPECT_EQ(state.StepCounter, 103);
    ASSERT_EQ(daemonRig.swrReadAt.size(), 21u);
    // Each reading at least 150 ms after the turn to its position ended.
    ASSERT_EQ(turnEndedAt.size(), 21u);
    for (std::size_t i = 0; i < turnEndedAt.size(); ++i)
        EXPECT_GE(daemonRig.swrReadAt[i] - turnEndedAt[i], tuning::SwrTune::SettleMs);
    // 5 W of the 100 W, in CW, keyed after both were set; PTT off before they are set back.
    const auto& lines = daemonRig.daemon.lines;
    const qsizetype keyed = lines.indexOf("T 1");
    ASSERT_GE(keyed, 0);
    EXPECT_LT(lines.indexOf("L RFPOWER 0.0500"), keyed);
    EXPECT_LT(lines.indexOf("M CW 0"), keyed);
    EXPECT_EQ(lines.count("T 1"), 1);
    const qsizetype unkeyed = daemonRig.lastIndexOf("T 0");
    EXPECT_LT(unkeyed, daemonRig.lastIndexOf("M USB 0"));
    EXPECT_LT(unkeyed, daemonRig.lastIndexOf("L RFPOWER 0.2500"));
    EXPECT_FALSE(daemonRig.ptt);
    EXPECT_EQ(daemonRig.mode, "USB");
    EXPECT_DOUBLE_EQ(daemonRig.level, 0.25);
}

TEST_F(RigctldSwrTuneTest, aRigTurnedDownToItsLeastPower_isSetBackThere) {
    daemonRig.level = 0; // the daemon's 0.0: the least the rig gives
    ASSERT_NO_FATAL_FAILURE(openAndFollow());
    tuning.rigCommands().SwrTuneClicked();

    EXPECT_TRUE(platform.messages.empty()) << told().toStdString();
    EXPECT_EQ(state.StepCounter, 103);
    EXPECT_LT(daemonRig.lastIndexOf("T 0"), daemonRig.lastIndexOf("L RFPOWER 0.0000"));
    EXPECT_DOUBLE_EQ(daemonRig.level, 0);
}

TEST_F(RigctldSwrTuneTest, whatTheDaemonsRigDoesUnasked_endsTheTuneUnkeyed) {
    struct Case {
        const char* name;
        std::function<std::optional<QByteArray>(const QByteArray&)> instead;
        const char* told;
    };
    const std::vector<Case> cases{
        {"a failed SWR read",
         [](const QByteArray& line) -> std::optional<QByteArray> {
             if (line == "l SWR")
                 return QByteArray("RPRT -11\n");
             return std::nullopt;
         },
         "SWR could not be read"},
        {"the PTT dropped by another program",
         [](const QByteArray& line) -> std::optional<QByteArray> {
             if (line == "t")
                 return QByteArray("0\n");
             return std::nullopt;
         },
         "stopped transmitting"},
        {"the mode changed",
         [](const QByteArray& line) -> std::optional<QByteArray> {
             if (line == "m")
                 return QByteArray("LSB\n2400\n");
             return std::nullopt;
         },
         "mode changed"},
        {"the dial turned",
         [](const QByteArray& line) -> std::optional<QByteArray> {
             if (line == "f")
                 return QByteArray("7001000\n");
             return std::nullopt;
         },
         "frequency changed"},
    };
    ASSERT_NO_FATAL_FAILURE(openAndFollow());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.messages.clear();
        daemonRig.daemon.lines.clear();
        turnEndedAt.clear();
        // From the third position on.
        QMetaObject::Connection hook =
            QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [&] {
                if (turnEndedAt.size() == 3)
                    daemonRig.instead = c.instead;
            });
        tuning.rigCommands().SwrTuneClicked();
        QObject::disconnect(hook);
        daemonRig.instead = nullptr;
        run(500);

        EXPECT_TRUE(told().contains(c.told)) << told().toStdString();
        EXPECT_FALSE(tuning.swrTune().running());
        EXPECT_FALSE(tuning.rigState().pttOn());
        EXPECT_FALSE(daemonRig.ptt);
        EXPECT_EQ(turnEndedAt.size(), 3u);
        EXPECT_LT(daemonRig.lastIndexOf("T 0"), daemonRig.lastIndexOf("L RFPOWER 0.2500"));
        EXPECT_EQ(daemonRig.mode, "USB");
        EXPECT_DOUBLE_EQ(daemonRig.level, 0.25);
        daemonRig.hz = 7000000;
        daemonRig.mode = "USB";
    }
}

TEST_F(RigctldSwrTuneTest, theDaemonLostMidTune_getsThePttReleaseOnceItIsBack) {
    ASSERT_NO_FATAL_FAILURE(openAndFollow());
    QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [&] {
        if (turnEndedAt.size() == 2)
            daemonRig.daemon.dropClients();
    });
    tuning.rigCommands().SwrTuneClicked();
    EXPECT_FALSE(tuning.swrTune().running());
    EXPECT_FALSE(tuning.rigState().pttOn());
    EXPECT_FALSE(tuning.swrTuneKeyed());
    // The link comes back by itself; the release it owes goes out first.
    const int connections = daemonRig.daemon.connections;
    for (int i = 0; i < 100 && daemonRig.daemon.connections == connections; ++i)
        run(500);
    run(1000);
    EXPECT_FALSE(daemonRig.ptt);
}

TEST_F(RigctldSwrTuneTest, aRigWhosePowerTheDaemonCannotSet_isNeverKeyed) {
    daemonRig.instead = [](const QByteArray& line) -> std::optional<QByteArray> {
        if (line.startsWith("L RFPOWER"))
            return QByteArray("RPRT -11\n");
        return std::nullopt;
    };
    ASSERT_NO_FATAL_FAILURE(openAndFollow());
    tuning.rigCommands().SwrTuneClicked();
    EXPECT_TRUE(told().contains("did not take the power")) << told().toStdString();
    EXPECT_FALSE(daemonRig.daemon.lines.contains("T 1"));
    EXPECT_EQ(state.StepCounter, 100);
    run(500);
    EXPECT_EQ(daemonRig.mode, "USB");
}
