#include "port/CoilOutput.h"

#include "port/SimulatedLpt.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <limits>

using namespace port;
using core::Long;

TEST(CoilCode, followsTheGrayCycleAlsoBelowZeroAndAtTheEndsOfALong) {
    // -1 is one step below 0: the cycle runs on backwards without a jump.
    EXPECT_EQ(CoilCode(-1), CoilCode(3));
    EXPECT_EQ(CoilCode(-4), CoilCode(0));
    EXPECT_EQ(CoilCode(std::numeric_limits<Long>::max()), 2);
    EXPECT_EQ(CoilCode(std::numeric_limits<Long>::min()), 0);
    // The next four codes from a position, in either direction, are the positions' codes.
    for (const std::int64_t p :
         {std::int64_t{5}, std::int64_t{-3}, std::int64_t{std::numeric_limits<Long>::max()}}) {
        const auto up = PhaseSequence(Direction::CW, p);
        const auto down = PhaseSequence(Direction::CCW, p);
        for (std::int64_t i = 0; i < 4; ++i) {
            EXPECT_EQ(up[static_cast<std::size_t>(i)], CoilCode(p + i + 1)) << p;
            EXPECT_EQ(down[static_cast<std::size_t>(i)], CoilCode(p - i - 1)) << p;
        }
    }
}

struct CoilOutputTest : ::testing::Test {
    core::ProgramState state;
    SimulatedLpt lpt;
    CoilOutput coil{state, lpt};
};

TEST_F(CoilOutputTest, pinSixHeldByBothEnableAndExtraBits_isNotCarriedIntoPinSeven) {
    state.SelectedStepper = 1;
    state.BothSteppersPin6 = true;
    coil.UpdateStepperBits();
    state.LptExtraBits = 16; // pin 6 raised from the output test window
    coil.WriteCoil(2);
    EXPECT_EQ(lpt.data(888), 2 | 28);
}

TEST_F(CoilOutputTest, powerOnEnablesOnThePositionsCode_whateverCodeTheRegisterHeld) {
    state.StepCounter = 4;
    state.OverlayPosition = 1; // the motor stands at 5: code 1
    lpt.Out32(888, 3);         // another port's leftover, say
    state.LptExtraBits = Lpt89Bits;
    coil.PowerOn();
    EXPECT_EQ(lpt.data(888), 1 + 4 + 192);
    EXPECT_EQ(coil.ReadData() & CoilMask, 1);
}

TEST_F(CoilOutputTest, clearAllPortsWritesZeroTo632Then956Then888) {
    lpt.traceWrites();
    coil.ClearAllPorts();
    const std::vector<SimulatedLpt::Write> expected{{0, 632, 0}, {0, 956, 0}, {0, 888, 0}};
    EXPECT_EQ(lpt.writes(), expected);
}

TEST_F(CoilOutputTest, anAddressBeyondTheIoRange_isNeverWrittenNorTruncatedOntoAnotherPort) {
    state.LptAddress = 65536 + 888; // a hand-edited file
    lpt.traceWrites();
    coil.WriteCoil(1);
    EXPECT_TRUE(lpt.writes().empty());
    EXPECT_EQ(coil.ReadData(), 0);
}
