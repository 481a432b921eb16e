// Every turn passes the engine's front door: why it would be refused, before anything moves;
// what it did, told once when it ends; and the network origins' one queue.
#include "engine/EngineFixture.h"
#include "engine/NetworkTurns.h"

#include <QSignalSpy>

using engine::TurnOrigin;
using engine::TurnOutcome;
using engine::TurnRecord;
using engine::TurnRefusal;
using engine::TurnRequest;
using FrontDoor = engine_test::EngineFixture;

namespace {

std::optional<TurnRefusal::Why> Why(const std::optional<TurnRefusal>& refusal) {
    return refusal ? std::optional(refusal->why) : std::nullopt;
}

struct Records {
    explicit Records(engine::Engine& engine) {
        QObject::connect(&engine, &engine::Engine::turnFinished,
                         [this](const TurnRecord& record) { all.push_back(record); });
    }
    std::vector<TurnRecord> all;
};

} // namespace

TEST_F(FrontDoor, answersWhyBeforeAnythingMoves_inTheOrderACallerReportsThem) {
    using W = TurnRefusal::Why;
    // Limits 0..500, 200 steps per 360.
    EXPECT_EQ(engine.Refuses({900, TurnOrigin::Network}), std::nullopt); // stops at the limit
    EXPECT_EQ(Why(engine.Refuses(TurnRequest{900, TurnOrigin::Network}.refusedBeyondLimits())),
              W::BeyondLimits);
    EXPECT_EQ(Why(engine.Refuses(TurnRequest::ToDegrees(-1, TurnOrigin::Network))),
              W::BeyondLimits);
    EXPECT_EQ(Why(engine.Refuses(TurnRequest::ToDegrees(std::nan(""), TurnOrigin::Network))),
              W::BeyondLimits);
    EXPECT_EQ(engine.Refuses(TurnRequest::ToDegrees(90, TurnOrigin::Network)), std::nullopt);
    transmit.on = true;
    EXPECT_EQ(Why(engine.Refuses({10, TurnOrigin::Network})), W::Transmitting);
    EXPECT_EQ(engine.Refuses({10, TurnOrigin::Window}), std::nullopt); // it is asked instead
    EXPECT_EQ(Why(engine.Refuses(TurnRequest::ToDegrees(1000, TurnOrigin::Network))),
              W::BeyondLimits);
    state.StepsPer360 = 0;
    EXPECT_EQ(Why(engine.Refuses(TurnRequest::ToDegrees(90, TurnOrigin::Network))),
              W::NoDegreeScale);
    engine.ExitStarted();
    EXPECT_EQ(Why(engine.Refuses({10, TurnOrigin::Network})), W::Exiting);
}

TEST_F(FrontDoor, aRefusedRequestMovesNothing_andItsRecordSaysWhy) {
    Records records(engine);
    const auto request = TurnRequest::ToDegrees(1000, TurnOrigin::Network)
                             .describedAs(QStringLiteral("rotctld P 1000"));
    EXPECT_EQ(engine.TurnTo(request), TurnOutcome::Refused);
    EXPECT_TRUE(positions.empty());
    EXPECT_TRUE(turns.empty()); // no turn began
    ASSERT_EQ(records.all.size(), 1u);
    const TurnRecord& record = records.all[0];
    EXPECT_EQ(record.end, TurnRecord::End::Refused);
    EXPECT_EQ(record.detail, QStringLiteral("rotctld P 1000"));
    ASSERT_TRUE(record.refusal);
    EXPECT_EQ(record.refusal->text, QStringLiteral("it lies beyond the limits 0 to 500"));

    // The degrees are the stepper's: 90° is a quarter of its 200 steps.
    EXPECT_EQ(engine.TurnTo(TurnRequest::ToDegrees(90, TurnOrigin::Network)), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 50);
}

TEST_F(FrontDoor, aPortThatCannotStep_refusesAtTheDoor_andTheRecordSaysSoNotASwitch) {
    Records records(engine);
    watchedLpt.failWriteAt = 6; // the power-on write and four steps reach the motor
    EXPECT_EQ(engine.TurnTo({40, TurnOrigin::Window}), TurnOutcome::Done);
    ASSERT_EQ(records.all.size(), 1u);
    EXPECT_EQ(records.all[0].steps, 4);
    EXPECT_EQ(records.all[0].end, TurnRecord::End::Stopped);

    EXPECT_EQ(Why(engine.Refuses({10, TurnOrigin::Network})), TurnRefusal::Why::OutputUnable);
    EXPECT_EQ(engine.TurnTo({10, TurnOrigin::Window}), TurnOutcome::Refused);
    ASSERT_EQ(records.all.size(), 2u);
    EXPECT_EQ(records.all[1].end, TurnRecord::End::Refused);
    EXPECT_EQ(records.all[1].steps, 0);
    EXPECT_TRUE(records.all[1].stoppedBy.isEmpty());
    ASSERT_TRUE(records.all[1].refusal);
    EXPECT_TRUE(records.all[1].refusal->text.contains("no longer driven"));
    ASSERT_EQ(platform.messages.size(), 1u); // told once, not at every turn
    EXPECT_EQ(platform.messages[0].text, records.all[1].refusal->text);
    engine.TurnTo({12, TurnOrigin::Window});
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(state.StepCounter, 4);
}

TEST_F(FrontDoor, aStepperWhoseStepLinesGoNowhere_isRefused_andItsCounterStays) {
    watchedLpt.undrivenBits = 1u << 1; // D1=none: the coil code's second line
    EXPECT_EQ(Why(engine.Refuses({10, TurnOrigin::Network})), TurnRefusal::Why::OutputUnable);
    EXPECT_EQ(engine.TurnTo({10, TurnOrigin::Window}), TurnOutcome::Refused);
    EXPECT_EQ(state.StepCounter, 0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith(
        "Stepper 1 is not turned: its coil code goes out on D1, which has no GPIO line"))
        << platform.messages[0].text.toStdString();

    // A step/dir driver needs its STEP and DIR; its ENABLE may be wired fixed.
    port::StepperOutputs outputs = port::DefaultStepperOutputs();
    outputs[0].output = port::OutputKind::StepDir;
    outputs[0].stepBit = 5;
    outputs[0].dirBit = 6;
    drive.coil().setOutputs(outputs);
    watchedLpt.undrivenBits = 1u << 2; // its ENABLE
    EXPECT_EQ(engine.Refuses({10, TurnOrigin::Network}), std::nullopt);
    watchedLpt.undrivenBits = 1u << 6;
    ASSERT_TRUE(engine.Refuses({10, TurnOrigin::Network}));
    EXPECT_TRUE(engine.Refuses({10, TurnOrigin::Network})->text.contains("its DIR goes out on D6"));
}

TEST_F(FrontDoor, everyTurnEndsWithOneRecord_reached_stopped_held_andWaited) {
    Records records(engine);
    EXPECT_EQ(engine.TurnTo({40, TurnOrigin::Window}), TurnOutcome::Done);
    ASSERT_EQ(records.all.size(), 1u);
    EXPECT_EQ(records.all[0].end, TurnRecord::End::Reached);
    EXPECT_EQ(records.all[0].from, 0);
    EXPECT_EQ(records.all[0].to, 40);
    EXPECT_EQ(records.all[0].steps, 40);
    EXPECT_EQ(records.all[0].origin, TurnOrigin::Window);
    EXPECT_EQ(records.all[0].started.msecsTo(records.all[0].ended), qint64(40 * 15));

    // Stopped by a stop; then a turn that another one replaces, each told once.
    platform.scheduleAfter(150, [this] { engine.StopTurningAndFollowing(); });
    engine.TurnTo({400, TurnOrigin::Window});
    ASSERT_EQ(records.all.size(), 2u);
    EXPECT_EQ(records.all[1].end, TurnRecord::End::Stopped);
    EXPECT_EQ(records.all[1].stoppedBy, QStringLiteral("a stop"));
    EXPECT_EQ(records.all[1].steps, state.StepCounter - 40);
    const core::Long stoppedAt = state.StepCounter;
    platform.scheduleAfter(150, [this] {
        engine.TurnTo(TurnRequest{0, TurnOrigin::Network}.replacing());
    });
    engine.TurnTo({400, TurnOrigin::Program});
    ASSERT_EQ(records.all.size(), 4u);
    EXPECT_EQ(records.all[2].origin, TurnOrigin::Network); // the inner one ends first
    EXPECT_EQ(records.all[2].end, TurnRecord::End::Reached);
    EXPECT_EQ(records.all[3].end, TurnRecord::End::Stopped);
    EXPECT_EQ(records.all[3].stoppedBy, QStringLiteral("another turn"));
    EXPECT_EQ(records.all[3].steps + stoppedAt, records.all[2].from);
    EXPECT_EQ(state.StepCounter, 0);

    // Held by transmit, and waited for it.
    platform.scheduleAfter(100, [this] { transmit.on = true; });
    engine.TurnTo({400, TurnOrigin::Following});
    EXPECT_EQ(records.all.back().end, TurnRecord::End::Held);
    transmit.on = true;
    platform.scheduleAfter(2000, [this] { transmit.on = false; });
    engine.TurnTo({0, TurnOrigin::Program});
    EXPECT_EQ(records.all.back().end, TurnRecord::End::Reached);
    EXPECT_GE(records.all.back().heldMs, 2000);
    EXPECT_EQ(records.all.size(), 6u);
}

TEST_F(FrontDoor, aTurnBySteps_thatReplacesAnother_countsFromWhereTheStopLeftTheMotor) {
    Records records(engine);
    QSignalSpy stopped(&engine, &engine::Engine::stopped);
    platform.scheduleAfter(
        600, [this] { engine.TurnTo(TurnRequest::By(-30, TurnOrigin::Repeated).replacing()); });
    engine.TurnTo({400, TurnOrigin::Program});
    ASSERT_EQ(records.all.size(), 2u);
    const TurnRecord& by = records.all[0];
    EXPECT_EQ(by.from, records.all[1].steps);
    EXPECT_EQ(by.to, by.from - 30);
    EXPECT_EQ(by.end, TurnRecord::End::Reached);
    EXPECT_EQ(records.all[1].stoppedBy, QStringLiteral("another turn"));
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_TRUE(state.RigFollowHalted); // the user took over
    EXPECT_EQ(state.StepCounter, by.to);

    // Beyond the limits it stops at the limit, as a turn to a position does.
    engine.TurnTo(TurnRequest::By(-1000, TurnOrigin::Window));
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(FrontDoor, aClockSetDuringATurn_leavesItsRecordTheTurnsOwnLength) {
    Records records(engine);
    const QDateTime before = platform.now();
    // NTP sets a clock that booted behind, mid-turn; then one set back.
    platform.scheduleAfter(150, [this] { platform.setNow(platform.now().addSecs(7200)); });
    engine.TurnTo({40, TurnOrigin::Window});
    platform.scheduleAfter(150, [this] { platform.setNow(platform.now().addSecs(-86400)); });
    engine.TurnTo({0, TurnOrigin::Window});
    ASSERT_EQ(records.all.size(), 2u);
    EXPECT_EQ(records.all[0].started, before);
    for (const TurnRecord& record : records.all)
        EXPECT_EQ(record.started.msecsTo(record.ended), qint64(40 * 15));
}

TEST_F(FrontDoor, aSlowTurnsRecord_comesWhenItsTimersEnd) {
    Records records(engine);
    state.StepDelayMs = 1500;
    engine.TurnTo({3, TurnOrigin::Window});
    EXPECT_TRUE(records.all.empty());
    platform.advance(6000);
    ASSERT_EQ(records.all.size(), 1u);
    EXPECT_EQ(records.all[0].end, TurnRecord::End::Reached);
    EXPECT_EQ(records.all[0].steps, 3);

    engine.TurnTo({10, TurnOrigin::Window});
    platform.advance(3000);
    engine.StopTurningAndFollowing();
    ASSERT_EQ(records.all.size(), 2u);
    EXPECT_EQ(records.all[1].end, TurnRecord::End::Stopped);
    EXPECT_EQ(records.all[1].stoppedBy, QStringLiteral("a stop"));
    EXPECT_EQ(records.all[1].steps, 2);

    // A slow turn that another one replaces; a stop after that is a stop again.
    engine.TurnTo({20, TurnOrigin::Window});
    platform.advance(3000);
    engine.TurnTo(TurnRequest{0, TurnOrigin::Network}.replacing());
    ASSERT_EQ(records.all.size(), 3u);
    EXPECT_EQ(records.all[2].stoppedBy, QStringLiteral("another turn"));
    platform.advance(3000);
    engine.StopTurningAndFollowing();
    ASSERT_EQ(records.all.size(), 4u);
    EXPECT_EQ(records.all[3].stoppedBy, QStringLiteral("a stop"));
}

TEST_F(FrontDoor, theWayOut_stopsTheTurnUnderWay_andItsRecordSaysSo) {
    Records records(engine);
    platform.scheduleAfter(150, [this] { engine.ExitStarted(); });
    engine.TurnTo({400, TurnOrigin::Timer});
    ASSERT_EQ(records.all.size(), 1u);
    EXPECT_EQ(records.all[0].end, TurnRecord::End::Stopped);
    EXPECT_EQ(records.all[0].stoppedBy, QStringLiteral("the program's end"));
    EXPECT_LT(state.StepCounter, 400);
}

TEST_F(FrontDoor, theWayOut_endsASlowTurn_andItsRecordSaysSo) {
    Records records(engine);
    state.StepDelayMs = 1500;
    engine.TurnTo({10, TurnOrigin::Window});
    platform.advance(3000);
    engine.ExitStarted();
    ASSERT_EQ(records.all.size(), 1u);
    EXPECT_EQ(records.all[0].stoppedBy, QStringLiteral("the program's end"));
}

TEST_F(FrontDoor, theNetworkQueue_latestWins_aStopDropsTheWaitingTurn_aGoneOwnersIsSkipped) {
    engine::NetworkTurns queue{engine};
    QObject rotctld;
    auto web = std::make_unique<QObject>();
    std::vector<int> ran;
    queue.Put(web.get(), [&] { ran.push_back(1); });
    queue.Put(&rotctld, [&] { ran.push_back(2); });
    EXPECT_EQ(queue.waiting(&rotctld), 0);
    EXPECT_EQ(queue.waiting(web.get()), std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, std::vector<int>{2});

    queue.Put(&rotctld, [&] { ran.push_back(3); });
    queue.Stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, std::vector<int>{2});

    queue.Put(web.get(), [&] { ran.push_back(4); });
    web.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, std::vector<int>{2});

    // A new one ends the turn under way and runs next.
    queue.Put(&rotctld, [&] {
        platform.scheduleAfter(100, [&] { queue.Put(&rotctld, [&] { ran.push_back(6); }); });
        engine.TurnTo({400, TurnOrigin::Network});
        ran.push_back(5);
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<int>{2, 5, 6}));
    EXPECT_GT(state.StepCounter, 0);
    EXPECT_LT(state.StepCounter, 20);
}

TEST_F(FrontDoor, aNetworkTurnThatTakesThePlaceOfTheOneUnderWay_isWhatItsRecordSaysEndedIt) {
    Records records(engine);
    engine::NetworkTurns queue{engine};
    QObject rotctld;
    // rotctld's M turns towards the limit; a P comes 300 ms later, a stop 100 ms after that.
    queue.Put(&rotctld, [&] {
        platform.scheduleAfter(300, [&] {
            queue.Put(&rotctld, [&] {
                platform.scheduleAfter(100, [&] { queue.Stop(); });
                engine.TurnTo({0, TurnOrigin::Network});
            });
        });
        engine.TurnTo({400, TurnOrigin::Network});
    });
    QCoreApplication::processEvents();
    ASSERT_EQ(records.all.size(), 2u);
    EXPECT_EQ(records.all[0].to, 400);
    EXPECT_EQ(records.all[0].end, TurnRecord::End::Stopped);
    EXPECT_EQ(records.all[0].stoppedBy, QStringLiteral("another turn"));
    EXPECT_EQ(records.all[1].to, 0);
    EXPECT_EQ(records.all[1].end, TurnRecord::End::Stopped);
    EXPECT_EQ(records.all[1].stoppedBy, QStringLiteral("a stop"));
}
