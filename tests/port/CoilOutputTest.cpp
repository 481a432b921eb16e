#include "port/CoilOutput.h"

#include "port/SimulatedLpt.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <limits>

using namespace port;
using core::Long;

TEST(CoilCode, followsTheGrayCycleAlsoBelowZeroAndAtTheEndsOfALong) {
    const Long expected[] = {0, 1, 3, 2, 0, 1, 3, 2};
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(CoilCode(p), expected[p]) << p;
    // -1 is one step below 0: the cycle runs on backwards without a jump.
    EXPECT_EQ(CoilCode(-1), 2);
    EXPECT_EQ(CoilCode(-2), 3);
    EXPECT_EQ(CoilCode(-4), 0);
    EXPECT_EQ(CoilCode(std::numeric_limits<Long>::max()), 2);
    EXPECT_EQ(CoilCode(std::numeric_limits<Long>::min()), 0);
}

TEST(PhaseSequence, givesTheNextFourCodesInEitherDirection) {
    using Seq = std::array<Long, 4>;
    EXPECT_EQ(PhaseSequence(Direction::CW, 0), (Seq{1, 3, 2, 0}));
    EXPECT_EQ(PhaseSequence(Direction::CW, 1), (Seq{3, 2, 0, 1}));
    EXPECT_EQ(PhaseSequence(Direction::CW, 2), (Seq{2, 0, 1, 3}));
    EXPECT_EQ(PhaseSequence(Direction::CW, 3), (Seq{0, 1, 3, 2}));
    EXPECT_EQ(PhaseSequence(Direction::CCW, 0), (Seq{2, 3, 1, 0}));
    EXPECT_EQ(PhaseSequence(Direction::CCW, 1), (Seq{0, 2, 3, 1}));
    EXPECT_EQ(PhaseSequence(Direction::CCW, 2), (Seq{1, 0, 2, 3}));
    EXPECT_EQ(PhaseSequence(Direction::CCW, 3), (Seq{3, 1, 0, 2}));
    // Below 0 a position keeps its place in the cycle: -3 stands where 1 stands.
    EXPECT_EQ(PhaseSequence(Direction::CW, -3), PhaseSequence(Direction::CW, 1));
    EXPECT_EQ(PhaseSequence(Direction::CCW, -1), PhaseSequence(Direction::CCW, 3));
    EXPECT_EQ(PhaseSequence(Direction::CW, std::numeric_limits<Long>::max()),
              PhaseSequence(Direction::CW, 3));
}

TEST(StepperBitsFor, enablesOneDriverOrBothWithPinSix) {
    EXPECT_EQ(StepperBitsFor(0, false), 4);
    EXPECT_EQ(StepperBitsFor(1, false), 8);
    EXPECT_EQ(StepperBitsFor(0, true), 12);
    EXPECT_EQ(StepperBitsFor(1, true), 28);
}

struct CoilOutputTest : ::testing::Test {
    core::ProgramState state;
    SimulatedLpt lpt;
    CoilOutput coil{state, lpt};
};

TEST_F(CoilOutputTest, stepperTwoWithBothDriversAndTheOffset_writes222ForCode2) {
    state.SelectedStepper = 1;
    state.BothSteppersPin6 = true;
    state.LptExtraBits = Lpt89Bits;
    coil.UpdateStepperBits();
    coil.WriteCoil(2);
    EXPECT_EQ(lpt.data(888), 222);
}

TEST_F(CoilOutputTest, pinSixHeldByBothEnableAndExtraBits_isNotCarriedIntoPinSeven) {
    state.SelectedStepper = 1;
    state.BothSteppersPin6 = true;
    coil.UpdateStepperBits();
    state.LptExtraBits = 16; // pin 6 raised from the output test window
    coil.WriteCoil(2);
    EXPECT_EQ(lpt.data(888), 2 | 28);
}

TEST_F(CoilOutputTest, powerOnKeepsTheCoilCodeAndAddsTheEnableAndExtraBits) {
    lpt.Out32(888, 3);
    state.LptExtraBits = Lpt89Bits;
    coil.PowerOn();
    EXPECT_EQ(lpt.data(888), 3 + 4 + 192);
    EXPECT_EQ(coil.CurrentCoilBits(), 3);
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
