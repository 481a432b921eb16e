// The pace of the state messages on the virtual clock.
#include "support/FakePlatform.h"
#include "web/WebStatePush.h"

#include <gtest/gtest.h>

namespace {

struct WebStatePushTest : ::testing::Test {
    testing_support::FakePlatform platform;
    int state = 0;
    std::vector<double> pushedAt;
    web::WebStatePush push{platform, [this] { return QByteArray::number(state); }};

    WebStatePushTest() {
        QObject::connect(&push, &web::WebStatePush::push,
                         [this](const QByteArray&) { pushedAt.push_back(platform.steadyMs()); });
        push.start();
        (void)push.current();
    }
    void moveAt(double ms) {
        platform.advance(ms - platform.steadyMs());
        ++state;
        push.moved();
    }
};

TEST_F(WebStatePushTest, aTurnsMoves_goOutWithTheFirstMoveAfterTheInterval_noTimerBetween) {
    constexpr int Interval = web::WebStatePush::MoveIntervalMs;
    platform.advance(1000);
    // Moves every 16 ms, as a turn's displays come; the state is looked at every 250 ms too.
    for (double at = 1000; at <= 1000 + 4 * Interval; at += 16)
        moveAt(at);
    // Pushed at 1000, then at the first move 100 ms or more after each push.
    EXPECT_EQ(pushedAt, (std::vector<double>{1000, 1112, 1224, 1336}));

    // The turn's last move goes out by the timer, late by at most LateMs.
    platform.advance(Interval + web::WebStatePush::LateMs);
    ASSERT_EQ(pushedAt.size(), 5u);
    EXPECT_GE(pushedAt.back(), 1336 + Interval);
    EXPECT_LE(pushedAt.back(), 1336 + Interval + web::WebStatePush::LateMs);
}

TEST_F(WebStatePushTest, anotherChange_goesOutWhenTheIntervalIsOver_evenAfterAMove) {
    constexpr int Interval = web::WebStatePush::IntervalMs;
    platform.advance(1000);
    moveAt(1000); // pushed
    moveAt(1010); // waits for a later move, or the timer
    platform.advance(10);
    ++state;
    push.changed(); // a turn ended: no waiting beyond the interval
    platform.advance(2 * Interval);
    EXPECT_EQ(pushedAt, (std::vector<double>{1000, 1000 + Interval}));
}

TEST_F(WebStatePushTest, aClicksOneStep_isNotHeldBackByThePushesOfTheTurnBeginningAndSettling) {
    platform.advance(1000);
    ++state;
    push.changed(); // the turn has begun
    moveAt(1002);   // its one step
    platform.advance(48);
    ++state;
    push.changed(); // it has settled: told IntervalMs after the last push
    moveAt(1110);   // the next click's step
    EXPECT_EQ(pushedAt, (std::vector<double>{1000, 1002, 1052, 1110}));
}

} // namespace
