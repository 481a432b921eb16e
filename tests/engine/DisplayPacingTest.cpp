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
    constexpr double interval = DisplayPacing::IntervalMs;
    constexpr double period = interval + 1;
    lookEvery(period, 5 * period);
    // The looks come a little over an interval apart. Once the timer has seen them (its first
    // tick finds nothing changed, its second shows), the shows come with them, none of a timer
    // of their own between.
    EXPECT_EQ(shownAt, (std::vector<double>{0, 2 * interval, 3 * period, 4 * period, 5 * period}));
    // A look before the interval is up shows nothing.
    platform.advance(10);
    pacing.changed(DisplayPacing::Speed);
    pacing.hold(false);
    EXPECT_EQ(shownAt.back(), 5 * period);
    // No look follows: the timer shows it, a little after the interval.
    platform.advance(2 * interval);
    ASSERT_EQ(shownAt.size(), 6u);
    EXPECT_GE(shownAt.back(), 5 * period + interval);
    EXPECT_LE(shownAt.back(), 5 * period + interval + DisplayPacing::LateLookMs);
    // The end shows what waits at once.
    pacing.changed(DisplayPacing::Counter);
    platform.advance(5);
    pacing.end();
    EXPECT_EQ(shownAt.back(), platform.steadyMs());
}

TEST_F(Pacing, looksAtEveryStepOfAFastTurnLeaveTheShowingToTheTimer_atTheInterval) {
    pacing.begin();
    constexpr double interval = DisplayPacing::IntervalMs;
    lookEvery(15, 3 * interval);
    EXPECT_EQ(shownAt, (std::vector<double>{interval, 2 * interval, 3 * interval}));
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
