// Every kind of link that reports transmit, on the virtual clock: a turn under way stops within
// 50 ms of the rig being keyed, and a link that falls silent while the rig transmits keeps every
// turn held until the rig is heard receiving or the user closes the port.
#include "rig/CivRig.h"
#include "rig/CivTransceiver.h"
#include "rig/FakeFlrig.h"
#include "rig/FakeRigctld.h"
#include "rig/FlrigRig.h"
#include "rig/KenwoodRig.h"
#include "rig/KenwoodTransceiver.h"
#include "rig/ScriptedLine.h"
#include "rig/WsjtxDatagrams.h"
#include "rig/WsjtxRig.h"
#include "support/QtPrinters.h"
#include "tuning/RigControlView.h"
#include "tuning/RigTuningFixture.h"

#include <QTest>
#include <algorithm>

using engine::TurnOrigin;
using engine::TurnOutcome;
using tuning::TransmitHold;

namespace {

// A rig server behind a network link, answering its transmit read after the server's own time
// on the virtual clock (the sockets of the real links run on the real clock).
class ServerRig final : public rig::RigConnection {
public:
    ServerRig(platform::Platform& platform, double replyMs)
        : replyMs_(replyMs), timer_(platform.createTimer([this] { answer(); })) {}

    bool transmitting = false;

    rig::LinkOpenResult open(int) override {
        open_ = true;
        return {true, {}};
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    QString lineText() const override { return QStringLiteral("server"); }
    QString rigName() const override { return QStringLiteral("server"); }
    rig::LinkCapabilities capabilities() const override { return {}; }
    bool requestReading() override { return ask(false); }
    bool requestTransmitState() override { return ask(true); }
    bool requestSMeter() override { return false; }
    bool frequencyValid(double) const override { return true; }
    rig::CatResult setFrequency(float) override { return rig::CatResult::Sent; }
    rig::CatResult setMode(int) override { return rig::CatResult::NotSent; }
    rig::CatResult setPtt(bool) override { return rig::CatResult::NotSent; }

private:
    bool ask(bool transmitOnly) {
        if (timer_->isActive())
            return false;
        asked_.transmitOnly = transmitOnly;
        asked_.kHz = transmitOnly ? std::nullopt : std::optional<float>(7000);
        timer_->start(int(replyMs_));
        return true;
    }
    void answer() {
        timer_->stop();
        asked_.transmitting = transmitting; // as the server finds the rig when it is asked
        emit readingArrived(asked_);
    }

    double replyMs_;
    std::unique_ptr<platform::Timer> timer_;
    rig::RigReading asked_;
    bool open_ = false;
};

// How a test plays the rig behind one kind of link.
struct Link {
    const char* name;
    std::function<void()> open; // the port opened, the rig heard receiving
    std::function<void(bool)> key;
    std::function<void(bool)> silence; // the line, the server or the program falls silent
    // Keys the rig at a moment to come, for a link that holds the thread during its exchanges:
    // a frame that reaches the rig afterwards finds it keyed.
    std::function<void(double atMs)> keyAt;
};

struct TransmitLinksTest : tuning_test::RigTuningFixture {
    rig_test::ScriptedLine line{platform};
    rig_test::CivTransceiver ic7300;
    rig::CivRig civ{platform, line, log};
    rig_test::KenwoodTransceiver ts590;
    rig::KenwoodRig kenwood{platform, line, log};
    ServerRig rigctldServer{platform, 3}; // one "t" of a daemon on this machine
    ServerRig flrigServer{platform, 5};   // one XML-RPC call over HTTP
    rig_test::FakeRigctld daemon;
    rig_test::FakeFlrig flrigDaemon;
    rig::FlrigRig flrig{platform, &log};
    rig::WsjtxRig wsjtx{platform, &log};
    quint16 wsjtxPort = rig_test::FreeUdpPort();
    QUdpSocket wsjtxProgram;
    bool daemonKeyed = false;

    TransmitLinksTest() {
        platform.processQtEvents = true;
        // 2 ms a step: 25 steps are 50 ms.
        state.StoredProfiles[0].CustomDelayMs = 2;
        state.LoadStepperProfile();
        speedControl.InitSpeed();
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Civ, civ);
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Kenwood, kenwood);
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Rigctld, rigctld);
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Flrig, flrig);
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Wsjtx, wsjtx);
        daemon.reply = [this](const QByteArray& command) -> QByteArray {
            return command == "t"   ? (daemonKeyed ? "1\n" : "0\n")
                   : command == "f" ? "7000000\n"
                   : command == "m" ? "USB\n2400\n"
                                    : "RPRT 0\n";
        };
        flrigDaemon.answer = [this](const QByteArray& method) {
            using rig_test::FakeFlrig;
            if (method == "rig.get_vfo")
                return FakeFlrig::Http(FakeFlrig::Value("7000000"));
            if (method == "rig.get_ptt")
                return FakeFlrig::Http(FakeFlrig::Value(daemonKeyed ? "<i4>1</i4>" : "<i4>0</i4>"));
            return FakeFlrig::Http(FakeFlrig::Value("<i4>0</i4>"));
        };
    }
    void TearDown() override {
        tuning.port().ComPortOpen(0);
        tuning.port().SelectSimulatedRig(); // the tuning outlives this fixture's links
    }

    // The virtual clock for ms, the real event loop now and then for the sockets.
    void run(double ms) {
        for (double ran = 0; ran < ms; ran += 50) {
            platform.advance(50);
            QTest::qWait(1);
        }
    }
    bool runUntil(const std::function<bool()>& condition, double ms = 20000) {
        for (double ran = 0; ran < ms && !condition(); ran += 50)
            run(50);
        return condition();
    }
    // The link opened in the table window, which then closed for a program's: the link stays,
    // following does not.
    void openLink(const QByteArray& ini) {
        state.ComPort = 1;
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), ini);
        links.Load();
        loadTable("7000,100,\"\"\r\n7200,200,\"\"\r\n");
        tuning.port().ComportClicked();
        ASSERT_TRUE(tuning.Unload(false, true));
        ASSERT_TRUE(tuning.port().portOpen());
    }
    void openServer(ServerRig& server) {
        openLink("[rig]\nlink=serial\n");
        tuning.port().ComPortOpen(0);
        ASSERT_TRUE(tuning.setConnection(server));
        ASSERT_TRUE(tuning.port().ComPortOpen(1));
    }
    void sendStatus(bool transmitting) {
        wsjtxProgram.writeDatagram(rig_test::WsjtxStatus(7000000, "FT8", transmitting),
                                   QHostAddress::LocalHost, wsjtxPort);
    }

    // Every link kind that tells whether the rig transmits.
    std::vector<Link> linkKinds() {
        const auto yaesuReply = [this](bool keyed) {
            scripted.answer("00000000F7", QByteArray::fromHex(keyed ? "00" : "80"));
        };
        const auto quietLine = [this](bool silent) { line.silent = silent; };
        return {
            {"Yaesu CAT, an FT-817 on COM1",
             [=, this] {
                 useScriptedRig(rig::Model::Ft817);
                 scripted.answer("0000000003", QByteArray::fromHex("0070000001"));
                 scripted.answer("00000000E7", QByteArray::fromHex("08"));
                 yaesuReply(false);
                 openLink("[rig]\nlink=serial\n");
             },
             yaesuReply,
             [this](bool silent) { scripted.setSilent(silent); },
             {}},
            {"the simulated FT-817", [this] { openLink("[rig]\nlink=simulated\n"); },
             [this](bool keyed) { simulated.rig().setTransmit(keyed); },
             [this](bool silent) { simulated.setSilent(silent); },
             [this](double atMs) { simulated.keyAt(atMs, true); }},
            {"CI-V, an IC-7300 at 19200 baud",
             [this] {
                 line.echo = true;
                 line.replyAfterMs = 8; // the read and its echo, and the reply, on the wire
                 line.rig = [this](const QByteArray& frame) { return ic7300.answer(frame); };
                 openLink("[rig]\nlink=civ\n");
             },
             [this](bool keyed) { ic7300.transmitting = keyed; },
             quietLine,
             {}},
            {"Kenwood-style, a TS-590 at 115200 baud",
             [this] {
                 line.echo = false;
                 line.replyAfterMs = 4;
                 line.rig = [this](const QByteArray& command) { return ts590.answer(command); };
                 openLink("[rig]\nlink=kenwood\n");
             },
             [this](bool keyed) { ts590.transmitting = keyed; },
             quietLine,
             {}},
            {"rigctld",
             [this] { openServer(rigctldServer); },
             [this](bool keyed) { rigctldServer.transmitting = keyed; },
             {},
             {}},
            {"flrig",
             [this] { openServer(flrigServer); },
             [this](bool keyed) { flrigServer.transmitting = keyed; },
             {},
             {}},
            {"WSJT-X",
             [this] {
                 openLink("[rig]\nlink=wsjtx\n[wsjtx]\nport=" + QByteArray::number(wsjtxPort) +
                          "\n");
                 sendStatus(false);
                 ASSERT_TRUE(runUntil([this] { return wsjtx.heard(); }));
             },
             [this](bool keyed) {
                 sendStatus(keyed);
                 // The datagram takes no time on this machine.
                 EXPECT_TRUE(QTest::qWaitFor([&] { return tuning.rigTransmitting() == keyed; }));
             },
             {},
             {}},
        };
    }
};

} // namespace

TEST_F(TransmitLinksTest, aTurnStopsWithin50msOfTheRigBeingKeyed_onEveryLinkThatReportsTransmit) {
    for (const Link& link : linkKinds()) {
        SCOPED_TRACE(link.name);
        ASSERT_NO_FATAL_FAILURE(link.open());
        platform.advance(500);
        ASSERT_FALSE(tuning.rigTransmitting());
        // Keyed at every moment of the link's reads: the worst of them counts.
        double worstMs = 0;
        for (double phase = 0; phase < 40; phase += 1.5) {
            const double keyedAt = platform.steadyMs() + 100 + phase;
            if (link.keyAt)
                link.keyAt(keyedAt);
            else
                platform.scheduleAt(keyedAt, [&] { link.key(true); });
            const core::Long target = state.StepCounter < 250 ? 450 : 50;
            ASSERT_EQ(engine.TurnTo({target, TurnOrigin::Network}), TurnOutcome::Held);
            ASSERT_GE(platform.steadyMs(), keyedAt);
            worstMs = std::max(worstMs, platform.steadyMs() - keyedAt);
            link.key(false);
            ASSERT_TRUE(runUntil([this] { return !tuning.rigTransmitting(); }));
        }
        EXPECT_LE(worstMs, 50);
        RecordProperty(link.name, QString::number(worstMs).toStdString());
        tuning.port().ComPortOpen(0);
    }
}

TEST_F(TransmitLinksTest, aSerialLineSilentWhileTheRigTransmits_holdsEveryTurnUntilItSaysReceive) {
    for (const Link& link : linkKinds()) {
        if (!link.silence)
            continue;
        SCOPED_TRACE(link.name);
        ASSERT_NO_FATAL_FAILURE(link.open());
        link.key(true);
        ASSERT_TRUE(runUntil([this] { return tuning.rigTransmitting(); }));
        EXPECT_EQ(tuning.transmitHold(), TransmitHold::RigTransmits);

        // RF on the cable: nothing answers, and the rig has long stopped transmitting.
        link.silence(true);
        link.key(false);
        run(10000);
        EXPECT_EQ(tuning.transmitHold(), TransmitHold::RigSilent);
        EXPECT_EQ(tuning::ControlViewOf(tuning, state, view).InfoText,
                  "TX: no turning (rig silent)");
        const core::Long before = state.StepCounter;
        EXPECT_EQ(engine.TurnTo({before + 50, TurnOrigin::Network}), TurnOutcome::Refused);
        EXPECT_EQ(state.StepCounter, before);

        link.silence(false);
        ASSERT_TRUE(runUntil([this] { return !tuning.rigTransmitting(); }));
        EXPECT_EQ(engine.TurnTo({before + 50, TurnOrigin::Network}), TurnOutcome::Done);
        tuning.port().ComPortOpen(0);
    }
}

TEST_F(TransmitLinksTest, aServerOrProgramGoneWhileTheRigTransmits_holdsUntilItIsBackReceiving) {
    // rigctld and flrig end, and come back on the same port with the rig receiving.
    struct Server {
        const char* name;
        QByteArray ini;
        std::function<void()> stop;
        std::function<void()> restart;
    };
    const Server servers[] = {
        {"rigctld",
         "[rig]\nlink=rigctld\n[rigctld]\nhost=127.0.0.1\nport=" +
             QByteArray::number(daemon.port()) + "\n",
         [this] { daemon.stop(); }, [this] { ASSERT_TRUE(daemon.listen(daemon.port())); }},
        {"flrig",
         "[rig]\nlink=flrig\n[flrig]\nhost=127.0.0.1\nport=" +
             QByteArray::number(flrigDaemon.port()) + "\n",
         [this] { flrigDaemon.stop(); },
         [this] { ASSERT_TRUE(flrigDaemon.listen(flrigDaemon.port())); }},
    };
    for (const Server& server : servers) {
        SCOPED_TRACE(server.name);
        daemonKeyed = false;
        openLink(server.ini);
        daemonKeyed = true;
        ASSERT_TRUE(runUntil([this] { return tuning.rigTransmitting(); }));
        server.stop();
        daemonKeyed = false;
        run(10000);
        EXPECT_EQ(tuning.transmitHold(), TransmitHold::RigSilent);
        EXPECT_FALSE(engine.admits(TurnOrigin::Network));
        server.restart();
        // It is tried again ever less often: up to LongestReconnectMs apart.
        EXPECT_TRUE(runUntil([this] { return !tuning.rigTransmitting(); }, 70000));
        tuning.port().ComPortOpen(0);
    }

    // WSJT-X quits while it transmits, or is no longer heard: held until its next status.
    openLink("[rig]\nlink=wsjtx\n[wsjtx]\nport=" + QByteArray::number(wsjtxPort) + "\n");
    for (const QByteArray& last : {rig_test::WsjtxClose(), QByteArray()}) {
        sendStatus(true);
        ASSERT_TRUE(runUntil([this] { return tuning.rigTransmitting(); }));
        if (!last.isEmpty())
            wsjtxProgram.writeDatagram(last, QHostAddress::LocalHost, wsjtxPort);
        run(rig::WsjtxRig::LostAfterMs + 1000);
        EXPECT_FALSE(wsjtx.heard());
        EXPECT_EQ(tuning.transmitHold(), TransmitHold::RigSilent);
        sendStatus(false);
        EXPECT_TRUE(runUntil([this] { return !tuning.rigTransmitting(); }));
    }
}

TEST_F(TransmitLinksTest, closingThePortOfASilentRig_releasesTheHold_andSaysSo) {
    // A Yaesu line whose device fails while the rig transmits stays open, the hold with it,
    // while it waits to be reopened.
    openLink("[rig]\nlink=simulated\n");
    simulated.rig().setTransmit(true);
    ASSERT_TRUE(runUntil([this] { return tuning.rigTransmitting(); }));
    simulated.failWrites(true);
    run(3000);
    EXPECT_TRUE(tuning.port().portOpen());
    EXPECT_TRUE(tuning.connection().lineText().endsWith(" - no connection"));
    EXPECT_EQ(tuning.transmitHold(), TransmitHold::RigSilent);

    tuning.port().ComportClicked();
    EXPECT_FALSE(tuning.port().portOpen());
    EXPECT_EQ(tuning.transmitHold(), TransmitHold::None);
    EXPECT_TRUE(engine.admits(TurnOrigin::Network));
    EXPECT_EQ(tuning::ControlViewOf(tuning, state, view).InfoText, "TX hold released: port closed");
}
