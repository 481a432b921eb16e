// Moving or settled: what programs that wait on the motor are told.
#include "engine/MotionWatch.h"

#include "engine/EngineFixture.h"

#include <QSignalSpy>

using engine::MotionWatch;
using engine::TurnOrigin;
using MotionWatchTest = engine_test::EngineFixture;

TEST_F(MotionWatchTest, movingWithTargetAndArrival_thenSettledOnceTheSettleTimeHasPassed) {
    MotionWatch motion(engine, state, platform);
    motion.setSettleMs({50, 200});
    QSignalSpy settled(&motion, &MotionWatch::settledNow);
    QSignalSpy changed(&motion, &MotionWatch::changed);
    EXPECT_TRUE(motion.settled());
    EXPECT_EQ(motion.target(), std::nullopt);
    bool looked = false;
    platform.scheduleAfter(300, [&] {
        looked = true;
        EXPECT_FALSE(motion.settled());
        EXPECT_TRUE(motion.turning());
        EXPECT_EQ(motion.target(), 100);
        EXPECT_EQ(motion.direction(), 1);
        const qint64 stepsLeft = 100 - state.StepCounter;
        EXPECT_GT(stepsLeft, 0);
        EXPECT_EQ(motion.expectedArrival(), platform.now().addMSecs(stepsLeft * 15));
    });
    turnTo(100); // 15 ms a step
    ASSERT_TRUE(looked);
    EXPECT_FALSE(motion.settled()); // standing, not yet settled
    EXPECT_FALSE(motion.turning());
    EXPECT_EQ(motion.expectedArrival(), std::nullopt);
    platform.advance(49);
    EXPECT_FALSE(motion.settled());
    EXPECT_EQ(settled.count(), 0);
    platform.advance(1);
    EXPECT_TRUE(motion.settled());
    EXPECT_EQ(settled.count(), 1);
    EXPECT_EQ(changed.count(), 2); // moving, then settled

    // A turn that starts while the last one settles: one settling, after the second.
    turnTo(90);
    platform.advance(20);
    turnTo(80);
    EXPECT_EQ(motion.direction(), 0);
    platform.advance(30);
    EXPECT_FALSE(motion.settled());
    platform.advance(20);
    EXPECT_TRUE(motion.settled());
    EXPECT_EQ(settled.count(), 2);
}

TEST_F(MotionWatchTest, aSlowTurnMovesUntilItsTimersEnd_orAStopEndsIt) {
    MotionWatch motion(engine, state, platform);
    setSlowSpeed(1500);
    turnTo(3); // returns at once; the timer steps
    EXPECT_FALSE(motion.settled());
    EXPECT_EQ(motion.target(), 3);
    platform.advance(4500);
    EXPECT_TRUE(motion.turning());
    platform.advance(1500 + MotionWatch::DefaultSettleMs);
    EXPECT_TRUE(motion.settled());

    turnTo(10);
    platform.advance(3000);
    EXPECT_TRUE(motion.turning());
    engine.StopTurningAndFollowing();
    platform.advance(MotionWatch::DefaultSettleMs);
    EXPECT_TRUE(motion.settled());
}

TEST_F(MotionWatchTest, aRefusedTurn_movesNothing) {
    MotionWatch motion(engine, state, platform);
    QSignalSpy changed(&motion, &MotionWatch::changed);
    transmit.on = true;
    EXPECT_EQ(engine.TurnTo({10, TurnOrigin::Network}), engine::TurnOutcome::Refused);
    platform.advance(100);
    EXPECT_TRUE(motion.settled());
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(MotionWatchTest, turnsThatMoveNothingWhileTheLastOneSettles_letItSettleOnce) {
    MotionWatch motion(engine, state, platform);
    motion.setSettleMs({50, 200});
    QSignalSpy settled(&motion, &MotionWatch::settledNow);
    turnTo(10);
    platform.advance(20);
    transmit.on = true;
    EXPECT_EQ(engine.TurnTo({20, TurnOrigin::Network}), engine::TurnOutcome::Refused);
    transmit.on = false;
    turnTo(10); // already there
    EXPECT_EQ(settled.count(), 0);
    platform.advance(50);
    EXPECT_TRUE(motion.settled());
    EXPECT_EQ(settled.count(), 1);
    platform.advance(500);
    EXPECT_EQ(settled.count(), 1);
}
