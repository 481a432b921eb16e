// Following the rig's frequency on a rig that answers byte for byte as its CAT description
// says: what moves the stepper, and what holds it.
#include "rig/FakeRigctld.h"
#include "support/QtPrinters.h"
#include "tuning/RigControlView.h"
#include "tuning/RigTuningFixture.h"

#include <QScopeGuard>
#include <algorithm>

using tuning_test::RigTuningFixture;
using RigFollowingTest = RigTuningFixture;

namespace {

// A block reply of the given length with the frequency (kHz) in 10 Hz units, binary, most
// significant byte first from byte `at` (counting from 1), the other bytes `fill`.
QByteArray FrequencyBlock(int length, int at, double kHz, char fill = 0) {
    QByteArray block(length, fill);
    const auto units = static_cast<quint32>(kHz * 100 + 0.5);
    block[at - 1] = char(units >> 16 & 0xFF);
    block[at] = char(units >> 8 & 0xFF);
    block[at + 1] = char(units & 0xFF);
    return block;
}

} // namespace

TEST_F(RigFollowingTest,
       aGarbledBlockReplyMovesNothing_aNewDialIsFollowedWhenTheCheckRightAfterAgrees) {
    // The FT-840's 19-byte block (frequency from byte 3) and the FT-757GXII's 75-byte status
    // (frequency from byte 7), each asked for by its own frame.
    struct Case {
        rig::Model model;
        const char* ask;
        int length;
        int at;
    };
    const Case cases[] = {{rig::Model::Ft840, "0200000210", 19, 3},
                          {rig::Model::Ft757GXII, "0000000010", 75, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(rig::Caps(c.model).name.toStdString());
        useScriptedRig(c.model);
        scripted.answer(c.ask, FrequencyBlock(c.length, c.at, 3500));
        scripted.answer("00000000FA", QByteArray::fromHex("0000000000")); // FT-840 status
        scripted.answer("00000000F7", QByteArray::fromHex("0500000000")); // FT-840 S-meter
        scripted.answer("0000000110", QByteArray::fromHex("05"));         // FT-757GXII S-meter
        ASSERT_NO_FATAL_FAILURE(openAndFollow());

        // Line noise: a block whose frequency bytes happen to read 3750 kHz. The check read at
        // once does not bear it out: nothing moves.
        scripted.answerOnce(c.ask, FrequencyBlock(c.length, c.at, 3750, char(0xA5)));
        poll();
        EXPECT_EQ(tuning.rigState().frequencyText(), "3500 kHz");
        EXPECT_EQ(state.StepCounter, 100);
        poll();
        EXPECT_EQ(state.StepCounter, 100);

        // The dial turned: followed when the check agrees, within the poll interval.
        scripted.answer(c.ask, FrequencyBlock(c.length, c.at, 3750));
        poll();
        EXPECT_EQ(state.StepCounter, 150);
        tuning.port().ComportClicked();
    }
}

namespace {

// An FT-817 on the 40 m rows 7000 kHz at 100, 7100 at 150 and 7200 at 200, receiving, its dial
// on 7150 kHz and the stepper brought there.
struct Ft817Following : RigTuningFixture {
    // Its frequency replies: four BCD bytes in 10 Hz, most significant first, then the mode
    // (01, USB).
    static constexpr const char* On7100 = "0071000001";
    static constexpr const char* On7150 = "0071500001";
    static constexpr const char* On7300 = "0073000001";

    void SetUp() override {
        useScriptedRig(rig::Model::Ft817);
        loadTable("7000,100,\"\"\r\n7100,150,\"\"\r\n7200,200,\"\"\r\n");
        scripted.answer("00000000E7", QByteArray::fromHex("09")); // S9
        receiving();
        dial(On7150);
        tuning.port().ComportClicked();
        ASSERT_TRUE(tuning.port().portOpen());
        for (int i = 0; i < 3; ++i)
            poll();
        ASSERT_EQ(state.StepCounter, 175);
        ASSERT_TRUE(tuning.follower().locked());
    }
    void dial(const char* reply) { scripted.answer("0000000003", QByteArray::fromHex(reply)); }
    // The transmit status: bit 7 set while not transmitting.
    void receiving() { scripted.answer("00000000F7", QByteArray::fromHex("80")); }
    void transmitting() { scripted.answer("00000000F7", QByteArray::fromHex("00")); }
};

} // namespace

TEST_F(Ft817Following, afterTheProgramsOwnUnlockAReadingInRangeRelocks_alsoOnARowsFrequency) {
    // Out of the table: unlocked, the stepper stays.
    dial(On7300);
    poll();
    poll();
    EXPECT_FALSE(tuning.follower().locked());
    EXPECT_EQ(state.StepCounter, 175);
    // Back on the 7100 kHz row: locked again and followed.
    dial(On7100);
    poll();
    poll();
    EXPECT_TRUE(tuning.follower().locked());
    EXPECT_EQ(state.StepCounter, 150);

    // Our PTT unlocks; the dial moved meanwhile. Released, the next reading relocks.
    transmitting();
    tuning.rigCommands().PttToggle(false);
    EXPECT_FALSE(tuning.follower().locked());
    dial(On7150);
    poll();
    poll();
    EXPECT_EQ(state.StepCounter, 150);
    receiving();
    tuning.rigCommands().PttToggle(true);
    poll();
    EXPECT_TRUE(tuning.follower().locked());
    EXPECT_EQ(state.StepCounter, 175);
}

TEST_F(Ft817Following, theUsersUnlockHoldsUntilTheUserLocks_whereverTheDialGoes) {
    tuning.rigCommands().LockClicked();
    ASSERT_FALSE(tuning.follower().locked());
    // The stepper stands on the looked-up position: still unlocked.
    poll();
    poll();
    EXPECT_FALSE(tuning.follower().locked());
    // Another dial, on a row and between rows: the labels follow, the stepper does not.
    dial(On7100);
    poll();
    poll();
    EXPECT_FALSE(tuning.follower().locked());
    EXPECT_EQ(state.StepCounter, 175);
    dial("0070500001"); // 7050 kHz
    platform.advance(5000);
    EXPECT_FALSE(tuning.follower().locked());
    EXPECT_EQ(state.StepCounter, 175);

    tuning.rigCommands().LockClicked(); // polls at once
    settle();
    EXPECT_TRUE(tuning.follower().locked());
    EXPECT_EQ(state.StepCounter, 125);
}

namespace {

// The FT-817 fixture with stepper 1's tables followed as settings says, counting the turns
// following makes.
struct FollowModes : Ft817Following {
    void follow(tuning::FollowMode mode, int restMs = 300, int deadbandSteps = 0) {
        tuning.follower().setFollowSettings(
            {tuning::FollowSettings{mode, restMs, deadbandSteps}, {}});
        QObject::connect(&engine, &engine::Engine::turnFinished,
                         [this](const engine::TurnRecord& record) {
                             if (record.origin == engine::TurnOrigin::Following)
                                 ++followingTurns;
                         });
    }
    // The dial at kHz (on 40 m), read and confirmed.
    void dialTo(double kHz) {
        const auto bcd = QString::number(qRound(kHz * 100)).rightJustified(8, '0') + "01";
        dial(bcd.toLatin1().constData());
        poll();
        poll();
    }
    int followingTurns = 0;
};

} // namespace

TEST_F(FollowModes, rested_aDialSweptAcrossTheBandMakesOneTurnAfterItStops) {
    // A new frequency confirmed every two polls (2 s), sooner than the dial rests.
    follow(tuning::FollowMode::Rested, 3000);
    for (double kHz = 7000; kHz <= 7200; kHz += 20)
        dialTo(kHz);
    EXPECT_EQ(followingTurns, 0);
    EXPECT_EQ(state.StepCounter, 175);
    platform.advance(3500);
    EXPECT_EQ(followingTurns, 1);
    EXPECT_EQ(state.StepCounter, 200);
    platform.advance(5000);
    EXPECT_EQ(followingTurns, 1) << "the rested dial turns nothing more";
}

TEST_F(FollowModes, manual_turnsOnlyOnTuneNow_andTuneNowNeedsAPosition) {
    follow(tuning::FollowMode::Manual);
    dialTo(7100);
    platform.advance(3000);
    EXPECT_EQ(state.StepCounter, 175);
    EXPECT_TRUE(tuning.follower().locked());
    EXPECT_EQ(tuning.TuneNow(), engine::TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 150);
    dialTo(7200);
    EXPECT_EQ(state.StepCounter, 150);

    // Outside the table there is nothing to tune to: told, nothing moves.
    dialTo(7300);
    QString why;
    EXPECT_EQ(tuning.TuneNow(engine::TurnOrigin::Network, &why), engine::TurnOutcome::Refused);
    EXPECT_EQ(why, "the table has no position for 7300 kHz");
    EXPECT_EQ(state.StepCounter, 150);
}

TEST_F(FollowModes, theDeadBandKeepsTheMotorStillForSmallQsys_andSaysSo) {
    follow(tuning::FollowMode::Continuous, 300, 10);
    dialTo(7160); // position 180: 5 steps from 175
    EXPECT_EQ(state.StepCounter, 175);
    EXPECT_TRUE(tuning.follower().withinDeadBand());
    EXPECT_EQ(tuning::ControlViewOf(tuning, state, view).InfoText, "within dead band");
    dialTo(7120); // 160: 15 steps away
    EXPECT_EQ(state.StepCounter, 160);
    EXPECT_FALSE(tuning.follower().withinDeadBand());
    EXPECT_EQ(followingTurns, 1);
    // Tune now goes to the position whatever the dead band.
    dialTo(7130);
    EXPECT_TRUE(tuning.follower().withinDeadBand());
    EXPECT_EQ(tuning.TuneNow(), engine::TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 165);
}

TEST_F(FollowModes, aPositionBeyondTheUpperLimitStopsTheStepperThere_thenTurnsNothingMore) {
    follow(tuning::FollowMode::Continuous);
    state.MaxPosition = 190;
    engine.LimitsOrScaleChanged();
    dialTo(7200); // position 200
    EXPECT_EQ(state.StepCounter, 190);
    EXPECT_EQ(followingTurns, 1);
    // The dial stays: every poll reads the same position beyond the limit, and the stepper
    // standing at the limit is already where a turn would end.
    platform.advance(10000);
    EXPECT_EQ(state.StepCounter, 190);
    EXPECT_EQ(followingTurns, 1) << "no turn, and no record of one, at every poll";
    // Back within the limits it follows again.
    dialTo(7100);
    EXPECT_EQ(state.StepCounter, 150);
    EXPECT_EQ(followingTurns, 2);
}

TEST_F(FollowModes, anAutomaticDeadBandIsAQuarterOfTheLoopsBandwidth_noneWithoutOne) {
    // 0.5 steps a kHz; a loop 48 kHz wide: a dead band of 12 kHz, 6 steps.
    loadTable("7000,100,\"VNA,bw=48\"\r\n7100,150,\"VNA,bw=48\"\r\n"
              "7200,200,\"VNA,bw=48\"\r\n");
    tuning::FollowSettings automatic;
    automatic.deadbandAuto = true;
    tuning.follower().setFollowSettings({automatic, {}});
    dialTo(7158); // 179: 4 steps from 175
    EXPECT_EQ(state.StepCounter, 175);
    EXPECT_TRUE(tuning.follower().withinDeadBand());
    EXPECT_EQ(tuning.follower().deadBandSteps(), 6);
    dialTo(7138); // 169: 6 steps
    EXPECT_EQ(state.StepCounter, 175);
    dialTo(7136); // 168: 7 steps
    EXPECT_EQ(state.StepCounter, 168);
    EXPECT_FALSE(tuning.follower().withinDeadBand());

    // A table typed by hand keeps no bandwidth: every new frequency turns.
    loadTable("7000,100,\"\"\r\n7100,150,\"\"\r\n7200,200,\"\"\r\n");
    dialTo(7140);
    EXPECT_EQ(state.StepCounter, 170);
    EXPECT_EQ(tuning.follower().deadBandSteps(), 0);
}

TEST_F(RigFollowingTest, theStartUpRowGoesToTheRigAtTheFirstReading_onceAfterTheUsersOpening) {
    useScriptedRig(rig::Model::Ft817);
    loadTable("7000,100,\"\"\r\n7100,150,\"*start\"\r\n7200,200,\"\"\r\n");
    scripted.answer("00000000E7", QByteArray::fromHex("09"));
    scripted.answer("00000000F7", QByteArray::fromHex("80"));
    scripted.setSilent(true); // switched off, or its cable not yet in
    tuning.port().ComportClicked();
    poll();
    poll();
    EXPECT_TRUE(scripted.sentAt(0x01).empty());
    EXPECT_FALSE(tuning.follower().locked());

    // It answers: the start-up row (7100 kHz, BCD high byte first) goes out once, and locks.
    scripted.setSilent(false);
    scripted.answer("0000000003", QByteArray::fromHex("0070500001"));
    poll();
    ASSERT_EQ(scripted.sentAt(0x01).size(), 1u);
    EXPECT_EQ(scripted.frames.back().bytes, QByteArray::fromHex("0071000001"));
    EXPECT_TRUE(tuning.follower().locked());
    scripted.answer("0000000003", QByteArray::fromHex("0071000001"));
    poll();
    EXPECT_EQ(state.StepCounter, 150);
    // Silent for a while and back: the rig is not retuned.
    scripted.setSilent(true);
    poll();
    scripted.setSilent(false);
    platform.advance(3000);
    EXPECT_EQ(scripted.sentAt(0x01).size(), 1u);
}

TEST_F(RigFollowingTest,
       theRigctldLinkSendsTheStartUpRowWhenTheDaemonIsUp_notAgainAfterAReconnect) {
    rig_test::FakeRigctld daemon;
    daemon.reply = [](const QByteArray& line) -> QByteArray {
        if (line == "f")
            return "7150000\n";
        if (line == "m")
            return "USB\n2400\n";
        return line == "t" ? "0\n" : "RPRT 0\n";
    };
    const quint16 port = daemon.port();
    daemon.stop();
    rig::RigctldRig rigctld{platform};
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Rigctld, rigctld);
    // The tuning outlives this link: it goes back to the CAT link before the link goes.
    const auto back = qScopeGuard([&] {
        tuning.port().ComPortOpen(0);
        tuning.port().SelectSimulatedRig();
    });
    test_support::WriteFile(
        dir.filePath("Ventrolo.ini"),
        "[rig]\nlink=rigctld\n[rigctld]\nhost=127.0.0.1\nport=" + QByteArray::number(port) + "\n");
    links.Load();
    loadTable("7000,100,\"\"\r\n7200,200,\"\"\r\n");
    // The virtual clock runs the polls and the reconnections, the real event loop the socket.
    const auto run = [&](double ms) {
        for (double t = 0; t < ms; t += 50) {
            platform.advance(50);
            QTest::qWait(2);
        }
    };
    const auto sets = [&] {
        return std::count_if(daemon.lines.begin(), daemon.lines.end(),
                             [](const QByteArray& line) { return line.startsWith("F "); });
    };

    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());
    run(3000);
    ASSERT_TRUE(daemon.listen(port));
    for (int i = 0; i < 100 && sets() == 0; ++i)
        run(500);
    EXPECT_EQ(sets(), 1);
    EXPECT_TRUE(daemon.lines.contains("F 7000000"));

    // The daemon drops the connection and the link comes back: the rig is not retuned.
    daemon.dropClients();
    const int connections = daemon.connections;
    for (int i = 0; i < 100 && daemon.connections == connections; ++i)
        run(500);
    run(3000);
    EXPECT_GT(daemon.connections, connections);
    EXPECT_EQ(sets(), 1);
}

TEST_F(RigFollowingTest, ft857AndFt897OnTheSimulatedRig_chosenWithoutANote_theStepperFollows) {
    for (const rig::Model model : {rig::Model::Ft857, rig::Model::Ft897}) {
        const QString name = rig::Caps(model).name;
        SCOPED_TRACE(name.toStdString());
        tuning.port().SelectRigModel(int(model));
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(tuning::FrameCaptionOf(tuning), "Rig Control-" + name);
        ASSERT_NO_FATAL_FAILURE(openAndFollow());
        EXPECT_EQ(simulated.rig().model(), model);
        EXPECT_EQ(simulated.settings()->stopBits, 2);
        EXPECT_EQ(simulated.rig().frequency(), 3500.0); // the start-up row was sent

        simulated.rig().turnDial(250);
        poll();
        poll();
        EXPECT_EQ(state.StepCounter, 150);
        EXPECT_TRUE(logged("{Ask Rx Status}"));
        tuning.port().ComportClicked();
        ASSERT_FALSE(tuning.port().portOpen());
    }
}
