#include "port/StepPulses.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace port;

TEST(StepPulses, oneCountedStepIsMicrostepsPulsesSpreadEvenlyOverThePeriod) {
    StepDirSettings s;
    s.output = OutputKind::StepDir;
    s.stepBit = 3;
    s.microsteps = 4;
    s.pulseUs = 7;
    const std::uint8_t base = 0b0100'0010;               // DIR and an extra bit, ENABLE active low
    std::vector<TimedWrite> out{{1, 1}, {2, 2}, {3, 3}}; // left from another step
    StepPulses(s, base, 1000, out);

    ASSERT_EQ(out.size(), 8u);
    for (std::size_t i = 0; i < 4; ++i) {
        const TimedWrite& rise = out[2 * i];
        const TimedWrite& fall = out[2 * i + 1];
        EXPECT_DOUBLE_EQ(rise.atUs, 250.0 * static_cast<double>(i));
        EXPECT_EQ(rise.value, base | 0b1000);
        EXPECT_DOUBLE_EQ(fall.atUs - rise.atUs, 7);
        EXPECT_EQ(fall.value, base);
    }
    // A base with STEP high by mistake still gives clean edges.
    StepPulses(s, base | 0b1000, 1000, out);
    EXPECT_EQ(out[1].value, base);
}

TEST(StepRateProblem, refusesPulsesCloserThanTheThreadKeepsOrThanTwiceThePulse) {
    StepDirSettings s;
    s.output = OutputKind::StepDir;
    s.microsteps = 16;
    EXPECT_TRUE(StepRateProblem(s, 1, 1).isEmpty()); // a pulse every 62.5 us

    s.microsteps = 256;
    EXPECT_FALSE(StepRateProblem(s, 1, 1).isEmpty()); // every 3.9 us
    EXPECT_EQ(StepRateProblem(s, 2, 2),
              "Stepper 2: 2 ms per step with 256 microsteps needs a STEP pulse every 7.8 us; the "
              "port keeps at most one every 50 us. Choose a longer step delay or fewer "
              "microsteps.");
    EXPECT_TRUE(StepRateProblem(s, 1, 12.8).isEmpty()); // exactly 50 us
    EXPECT_FALSE(StepRateProblem(s, 1, 12.7).isEmpty());

    // A long pulse needs as long a gap after it.
    s.microsteps = 16;
    s.pulseUs = 40;
    EXPECT_TRUE(StepRateProblem(s, 1, 1).contains("at most one every 80 us"));

    s.output = OutputKind::Phase; // the coil code knows no pulses
    EXPECT_TRUE(StepRateProblem(s, 1, 0.001).isEmpty());
}
