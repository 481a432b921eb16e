// A turn's displays are shown at the turn's own looks at its steps, once the interval is up: the
// GUI thread wakes for the looks and for nothing else while the turn runs.
#include "engine/DisplayPacing.h"

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

using engine::DisplayPacing;

namespace {

struct Pacing : ::testing::Test {
    testing_support::FakePlatform platform;
    std::vector<double> shownAt;
    DisplayPacing pacing{platform, [this](unsigned) { shownAt.push_back(platform.steadyMs()); }};

    // A look of the turn at its steps every periodMs until untilMs, a step changed before each.
    void lookEvery(double periodMs, double untilMs, bool behind = false) {
        while (platform.steadyMs() + periodMs <= untilMs) {
            platform.advance(periodMs);
            pacing.changed(DisplayPacing::Counter);
            pacing.hold(behind);
        }
    }
};

} // namespace

TEST_F(Pacing, aTurnIsShownAtItsOwnLooksOnceTheIntervalIsUp_andAChangeNoLookFollowsByTheTimer) {
    pacing.changed(DisplayPacing::Counter);
    EXPECT_EQ(shownAt, std::vector<double>{0}); // outside a turn: at once
    pacing.begin();
    lookEvery(41, 205);
    // The looks come 41 ms apart. Once the timer has seen them, the shows come with them, none of
    // a timer of their own between.
    EXPECT_EQ(shownAt, (std::vector<double>{0, 80, 123, 164, 205}));
    // A look before the interval is up shows nothing.
    platform.advance(10);
    pacing.changed(DisplayPacing::Speed);
    pacing.hold(false);
    EXPECT_EQ(shownAt.back(), 205);
    // No look follows: the timer shows it, a little after the interval.
    platform.advance(100);
    ASSERT_EQ(shownAt.size(), 6u);
    EXPECT_GE(shownAt.back(), 205 + DisplayPacing::IntervalMs);
    EXPECT_LE(shownAt.back(), 205 + DisplayPacing::IntervalMs + DisplayPacing::LateLookMs);
    // The end shows what waits at once.
    pacing.changed(DisplayPacing::Counter);
    platform.advance(5);
    pacing.end();
    EXPECT_EQ(shownAt.back(), platform.steadyMs());
}

TEST_F(Pacing, looksAtEveryStepOfAFastTurnLeaveTheShowingToTheTimer_atTheInterval) {
    pacing.begin();
    lookEvery(15, 150);
    EXPECT_EQ(shownAt, (std::vector<double>{40, 80, 120}));
}

TEST_F(Pacing, whileBehindLooksShowNothing_untilTheFirstLookBackOnTimeOrTheHoldIsUp) {
    pacing.begin();
    lookEvery(41, 123, true);
    EXPECT_TRUE(shownAt.empty());
    lookEvery(41, 164, false);
    EXPECT_EQ(shownAt, std::vector<double>{164});
    // Behind for good: shown all the same, at most MaxHoldMs apart.
    lookEvery(10, 1000, true);
    ASSERT_GE(shownAt.size(), 4u);
    for (std::size_t i = 1; i < shownAt.size(); ++i) {
        EXPECT_GE(shownAt[i] - shownAt[i - 1], DisplayPacing::IntervalMs) << i;
        EXPECT_LE(shownAt[i] - shownAt[i - 1], DisplayPacing::MaxHoldMs + 10) << i;
    }
}
