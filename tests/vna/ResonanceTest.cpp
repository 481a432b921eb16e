// The resonance, bandwidth and Q found in a sweep of the modelled loop, and what is refused.
#include "vna/LoopModel.h"
#include "vna/Resonance.h"

#include <gtest/gtest.h>

using namespace vna;

namespace {

Sweep SweepOf(const LoopModel& loop, double startHz, double stopHz, int points) {
    Sweep sweep;
    for (int i = 0; i < points; ++i) {
        const double hz = startHz + (stopHz - startHz) * i / (points - 1);
        sweep.push_back({hz, loop.s11(hz), true});
    }
    return sweep;
}

} // namespace

TEST(ResonanceTest, modelledLoop_resonanceBetweenPointsBandwidthAndQ) {
    LoopModel loop({}, 1000);
    const double f0 = loop.resonanceHz();
    // Points 1.3 kHz apart, none of them at the resonance.
    const auto found = FindResonance(SweepOf(loop, f0 - 50'321, f0 + 80'123, 101));
    ASSERT_TRUE(found);
    EXPECT_NEAR(found->hz, f0, 60);
    EXPECT_LT(found->swr, 1.05);
    EXPECT_FALSE(found->atEdge);
    ASSERT_TRUE(found->bandwidthHz);
    EXPECT_NEAR(*found->bandwidthHz, loop.bandwidthHzAt(f0), 0.02 * loop.bandwidthHzAt(f0));
    ASSERT_TRUE(found->q);
    EXPECT_NEAR(*found->q, 300, 6);
}

TEST(ResonanceTest, resonanceOutsideTheSweep_isAtItsEdge) {
    LoopModel loop({}, 1000);
    const double f0 = loop.resonanceHz();
    const auto found = FindResonance(SweepOf(loop, f0 + 30'000, f0 + 100'000, 51));
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->atEdge);
    EXPECT_FALSE(found->bandwidthHz);
}

TEST(ResonanceTest, failedPoints_besideTheMinimumHideIt_elsewhereAreSkipped) {
    LoopModel loop({}, 1000);
    const double f0 = loop.resonanceHz();
    Sweep sweep = SweepOf(loop, f0 - 50'000, f0 + 50'000, 101); // point 50 is the resonance
    sweep[20].valid = false;
    const auto skipped = FindResonance(sweep);
    ASSERT_TRUE(skipped);
    EXPECT_NEAR(skipped->hz, f0, 60);
    sweep[49].valid = false; // the true minimum may have been here
    sweep[50].valid = false;
    EXPECT_FALSE(FindResonance(sweep));
    Sweep fewValid(5, SweepPoint{7e6, {}, false});
    fewValid[0].valid = fewValid[1].valid = true;
    EXPECT_FALSE(FindResonance(fewValid));
}

TEST(ResonanceTest, mismatchedLoop_hasNoTwoToOneBandwidth) {
    Sweep sweep;
    for (int i = 0; i < 21; ++i) {
        const double detune = (i - 10) / 10.0;
        sweep.push_back({7e6 + i * 1000.0, {0.4 + 0.5 * detune * detune, 0}, true});
    }
    const auto found = FindResonance(sweep);
    ASSERT_TRUE(found);
    EXPECT_NEAR(found->swr, 1.4 / 0.6, 1e-6);
    EXPECT_FALSE(found->bandwidthHz);
    EXPECT_FALSE(found->q);
}
