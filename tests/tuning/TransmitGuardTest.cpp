// No turning while the rig transmits: an FT-817 on the simulated rig keyed at its own PTT.
#include "support/QtPrinters.h"
#include "tuning/RigTuningFixture.h"

using tuning_test::RigTuningFixture;
using TransmitGuardTest = RigTuningFixture;

TEST_F(TransmitGuardTest, theRigsTransmitHoldsFollowingAndFrequencySteps_untilItEnds) {
    openAndFollow();
    state.CatScrollSetting = 10;
    simulated.rig().setTransmit(true);
    simulated.rig().setFrequency(3750);
    poll();
    poll();
    EXPECT_TRUE(tuning.rigTransmitting());
    EXPECT_EQ(state.StepCounter, 100);
    tuning.tableCommands().FrequencyUp(1);
    EXPECT_EQ(simulated.rig().frequency(), 3760.0);
    EXPECT_EQ(state.StepCounter, 100);

    simulated.rig().setTransmit(false);
    poll();
    EXPECT_FALSE(tuning.rigTransmitting());
    EXPECT_EQ(state.StepCounter, 152);
}

TEST_F(TransmitGuardTest, whileTheRigTransmits_followingTellsARefusalOncePerPosition) {
    openAndFollow();
    QList<core::Long> refused;
    const QObject scope;
    QObject::connect(&engine, &engine::Engine::turnFinished, &scope,
                     [&](const engine::TurnRecord& record) {
                         if (record.end == engine::TurnRecord::End::Refused)
                             refused << record.to;
                     });
    simulated.rig().setTransmit(true);
    simulated.rig().setFrequency(3750);
    for (int i = 0; i < 6; ++i)
        poll();
    EXPECT_EQ(refused, QList<core::Long>{150});
    // Another position while still transmitting is told again, once.
    simulated.rig().setFrequency(3850);
    for (int i = 0; i < 4; ++i)
        poll();
    EXPECT_EQ(refused, (QList<core::Long>{150, 170}));

    simulated.rig().setTransmit(false);
    poll();
    EXPECT_EQ(state.StepCounter, 170);
    // Refused again at the next transmission, the position is told again.
    simulated.rig().setTransmit(true);
    simulated.rig().setFrequency(3750);
    for (int i = 0; i < 3; ++i)
        poll();
    EXPECT_EQ(refused, (QList<core::Long>{150, 170, 150}));
}

TEST_F(TransmitGuardTest, aTurnUnderWayStopsWhenTransmitBegins_andFollowingFinishesItAfterwards) {
    openAndFollow();
    bool keyed = false;
    const QObject scope;
    QObject::connect(&engine, &engine::Engine::turnStarted, &scope, [&] {
        if (!std::exchange(keyed, true))
            platform.scheduleAfter(300, [&] { simulated.rig().setTransmit(true); });
    });
    simulated.rig().setFrequency(4000); // 100 steps away: longer than a poll interval
    poll();
    poll();
    ASSERT_TRUE(keyed);
    EXPECT_GT(state.StepCounter, 100);
    EXPECT_LT(state.StepCounter, 200);
    EXPECT_TRUE(tuning.follower().locked());
    const core::Long stoppedAt = state.StepCounter;
    poll();
    EXPECT_EQ(state.StepCounter, stoppedAt);

    simulated.rig().setTransmit(false);
    poll();
    EXPECT_EQ(state.StepCounter, 200);
}

TEST_F(TransmitGuardTest, withTheGuardOffTheStepperFollowsAnyway_andTheChoiceIsKept) {
    openAndFollow();
    tuning.rigCommands().TransmitGuardClicked(false);
    tuning::TransmitGuard stored(dir.filePath("Ventrolo.ini"));
    stored.Load();
    EXPECT_FALSE(stored.enabled());
    simulated.rig().setTransmit(true);
    simulated.rig().setFrequency(3750);
    poll();
    poll();
    EXPECT_EQ(state.StepCounter, 150);
}

TEST_F(TransmitGuardTest, aTurnOfTheUsersOwnWhileTheRigTransmitsAsksFirst) {
    openAndFollow();
    simulated.rig().setTransmit(true);
    poll();
    view.SetInputText("3750");
    const std::size_t before = platform.messages.size();
    platform.answerNextMessage(platform::Answer::No);
    tuning.tableCommands().TurnToClicked();
    ASSERT_EQ(platform.messages.size(), before + 1);
    EXPECT_EQ(platform.messages.back().icon, platform::Icon::Question);
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(simulated.rig().frequency(), 3500.0);

    platform.answerNextMessage(platform::Answer::Yes);
    tuning.tableCommands().TurnToClicked();
    EXPECT_EQ(state.StepCounter, 150);
}

namespace {

// The frames sent between two times.
std::vector<rig_test::ScriptedSerialLink::Frame>
FramesBetween(const rig_test::ScriptedSerialLink& link, double fromMs, double toMs) {
    std::vector<rig_test::ScriptedSerialLink::Frame> between;
    for (const auto& frame : link.frames)
        if (frame.atMs >= fromMs && frame.atMs <= toMs)
            between.push_back(frame);
    return between;
}

} // namespace

TEST_F(TransmitGuardTest,
       duringATurnTheTransmitStateAloneIsReadAfterEachReply_andTransmitStopsItAtOnce) {
    // The short reads as the rigs' CAT descriptions give them: the FT-817's and FT-847's
    // transmit status (bit 7 clear while transmitting), the FT-840's status flags (third byte,
    // bit 7 set while transmitting).
    struct Case {
        rig::Model model;
        const char* read;
        QByteArray receiving;
        QByteArray transmitting;
    };
    const Case cases[] = {
        {rig::Model::Ft817, "00000000F7", QByteArray::fromHex("80"), QByteArray::fromHex("00")},
        {rig::Model::Ft847, "00000000F7", QByteArray::fromHex("80"), QByteArray::fromHex("00")},
        {rig::Model::Ft840, "00000000FA", QByteArray::fromHex("0000000000"),
         QByteArray::fromHex("0000800000")},
    };
    // One read takes the reply's time; the next follows a rest later.
    const double cycleMs =
        rig_test::ScriptedSerialLink::ReplyAfterMs + tuning::RigTuning::TransmitRestMs;
    for (const Case& c : cases) {
        SCOPED_TRACE(rig::Caps(c.model).name.toStdString());
        useScriptedRig(c.model);
        loadTable("3500,100,\"\"\r\n4000,200,\"\"\r\n");
        tuning.port().ComportClicked();
        ASSERT_TRUE(tuning.port().portOpen());
        scripted.answer(c.read, c.receiving);
        platform.advance(500);

        // 200 steps of 15 ms: read one after the other, and nothing else is asked.
        const double start = platform.steadyMs();
        engine.TurnTo({state.StepCounter + 200, engine::TurnOrigin::Window});
        const double end = platform.steadyMs();
        ASSERT_GE(end - start, 3000);
        double last = start;
        for (const auto& frame : FramesBetween(scripted, start, end)) {
            EXPECT_EQ(frame.bytes, QByteArray::fromHex(c.read));
            EXPECT_LE(frame.atMs - last, cycleMs + 1);
            last = frame.atMs;
        }
        EXPECT_LE(end - last, cycleMs + 15);

        // Keyed a second into the next turn: it stops within two reads and one step.
        double keyedAt = 0;
        platform.scheduleAfter(1000, [&] {
            scripted.answer(c.read, c.transmitting);
            keyedAt = platform.steadyMs();
        });
        engine.TurnTo({state.StepCounter - 200, engine::TurnOrigin::Window});
        EXPECT_TRUE(tuning.rigTransmitting());
        EXPECT_LE(platform.steadyMs() - keyedAt, 2 * cycleMs + 15);
        tuning.port().ComportClicked();
    }
}

TEST_F(TransmitGuardTest, aRigSilentDuringATurn_oneMissedReplyIsNothing_twoStopTheTurn) {
    useScriptedRig(rig::Model::Ft817);
    loadTable("3500,100,\"\"\r\n4000,200,\"\"\r\n");
    // A rig never heard since the port opened reports nothing: turns go on without it.
    scripted.setSilent(true);
    tuning.port().ComportClicked();
    platform.advance(500);
    engine.TurnTo({50, engine::TurnOrigin::Window});
    EXPECT_EQ(state.StepCounter, 50);
    EXPECT_FALSE(tuning.rigTransmitting());
    tuning.port().ComportClicked();
    scripted.setSilent(false);

    tuning.port().ComportClicked();
    scripted.answer("00000000E7", QByteArray::fromHex("00"));
    scripted.answer("00000000F7", QByteArray::fromHex("80"));
    platform.advance(500);

    // One reply lost: the turn goes on to its end.
    bool dropped = false;
    platform.scheduleAfter(1000, [&] {
        scripted.answerOnce("00000000F7", {});
        dropped = true;
    });
    engine.TurnTo({300, engine::TurnOrigin::Window});
    ASSERT_TRUE(dropped);
    EXPECT_EQ(state.StepCounter, 300);
    EXPECT_FALSE(tuning.rigTransmitting());

    // Silent from a second into the turn: stopped after the second missed reply, each reply
    // awaited no longer than one exchange of a poll.
    double silentAtMs = 0;
    platform.scheduleAfter(1000, [&] {
        scripted.setSilent(true);
        silentAtMs = platform.steadyMs();
    });
    engine.TurnTo({0, engine::TurnOrigin::Window});
    EXPECT_TRUE(tuning.rigTransmitting());
    EXPECT_GT(state.StepCounter, 0);
    EXPECT_LE(platform.steadyMs() - silentAtMs,
              2 * (rig::RigLatencyMarginMs + 15 + tuning::RigTuning::TransmitRestMs) + 2 * 15);

    // Silent readings change nothing; the first that says the rig receives ends it.
    poll();
    EXPECT_TRUE(tuning.rigTransmitting());
    scripted.setSilent(false);
    poll();
    EXPECT_FALSE(tuning.rigTransmitting());
    engine.TurnTo({0, engine::TurnOrigin::Window});
    EXPECT_EQ(state.StepCounter, 0);
}
