// The data register as step/dir drivers see it, through the power rules written for the coil code.
#include "port/CoilOutput.h"
#include "port/PortPanel.h"
#include "port/PowerControl.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace port;
using core::Long;

namespace {

constexpr std::uint8_t Step1 = 1, Dir = 2, Enable1 = 4, Enable2 = 8;

struct StepDirOutputTest : ::testing::Test {
    core::ProgramState state;
    testing_support::FakePlatform platform;
    SimulatedLpt lpt;
    CoilOutput coil{state, lpt};
    PowerControl power{state, coil};
    PortPanel panel{state, coil, power, platform};

    // Stepper stepper (0 or 1) on a step/dir driver with the default lines, the other on the
    // coil code, and stepper selected.
    void stepDir(std::size_t stepper) {
        StepperOutputs outputs = DefaultStepperOutputs();
        outputs[stepper].output = OutputKind::StepDir;
        coil.setOutputs(outputs);
        select(static_cast<Long>(stepper));
    }
    void select(Long stepper) {
        state.SelectedStepper = stepper;
        coil.UpdateStepperBits();
    }
};

} // namespace

TEST_F(StepDirOutputTest, phaseSteppers_seeEveryLogicalValueAsItIs) {
    coil.setOutputs(DefaultStepperOutputs());
    for (const Long stepper : {0, 1}) {
        select(stepper);
        for (int value = 0; value < 256; ++value) {
            EXPECT_EQ(coil.Physical(value), value);
            EXPECT_EQ(coil.Logical(static_cast<std::uint8_t>(value)), value);
        }
    }
    EXPECT_EQ(coil.IdleValue(), 0);
}

TEST_F(StepDirOutputTest, phaseSteppers_writeTheBytesOfTheCoilCodeOneForOne) {
    coil.setOutputs(DefaultStepperOutputs());
    state.AutoPower = 1;
    state.StepCounter = 5;
    state.LptExtraBits = Lpt89Bits;
    select(0);
    lpt.traceWrites();
    power.ApplyStartUpPower(); // 1 + 4 + 192
    coil.SetPhaseSequence(Direction::CW, 5);
    for (const Long code : state.PhaseSeq)
        coil.WriteCoil(code); // 3, 2, 0, 1 with the enable and offset bits
    state.StepActivity = false;
    for (int i = 0; i < 21; ++i)
        power.HousekeepingTick(false); // autopower drops the enable bit
    coil.WriteData(0);                 // the exit
    coil.ClearAllPorts();
    EXPECT_EQ(lpt.valuesWritten(888),
              (std::vector<std::uint8_t>{197, 199, 198, 196, 197, 193, 0, 0}));
    EXPECT_EQ(lpt.data(632), 0);
}

TEST_F(StepDirOutputTest, activeLowEnable_isHighWheneverTheDriverIsOff) {
    stepDir(0);
    state.LptExtraBits = Lpt89Bits;
    EXPECT_EQ(coil.IdleValue(), Enable1 | Dir) << "ENABLE inactive, STEP low, DIR clockwise";

    coil.PowerOn();
    EXPECT_EQ(lpt.data(888), Dir | 192) << "ENABLE low: the driver holds the shaft";
    EXPECT_EQ(coil.ReadData() & state.StepperBits, 4) << "the driver reads as on";

    // Autopower's drop after 20 idle seconds.
    state.AutoPower = 1;
    for (int i = 0; i < 21; ++i)
        power.HousekeepingTick(false);
    EXPECT_EQ(lpt.data(888), coil.IdleValue() | 192);
    EXPECT_EQ(coil.ReadData() & state.StepperBits, 0);

    // Everything off (the counter set by hand, the exit) and every port cleared.
    coil.PowerOn();
    coil.WriteData(0);
    EXPECT_EQ(lpt.data(888), coil.IdleValue());
    lpt.traceWrites();
    coil.ClearAllPorts();
    const std::vector<SimulatedLpt::Write> expected{
        {0, 632, Enable1 | Dir}, {0, 956, Enable1 | Dir}, {0, 888, Enable1 | Dir}};
    EXPECT_EQ(lpt.writes(), expected);

    // Fieldpower switches ENABLE the same way.
    state.AutoPower = 0;
    power.SetFieldPower(true);
    EXPECT_EQ(lpt.data(888) & Enable1, 0);
    power.SetFieldPower(false);
    EXPECT_EQ(lpt.data(888) & Enable1, Enable1);
}

TEST_F(StepDirOutputTest, dirFollowsTheDirectionAndItsInversion_stepStaysLow) {
    stepDir(0);
    state.StepCounter = 6; // code 3 would raise STEP if it passed
    coil.SetPhaseSequence(Direction::CCW, 6);
    coil.PowerOn();
    EXPECT_EQ(lpt.data(888), 0);
    coil.SetPhaseSequence(Direction::CW, 6);
    coil.WriteCoil(state.PhaseSeq[0]);
    EXPECT_EQ(lpt.data(888), Dir);

    StepperOutputs inverted = coil.outputs();
    inverted[0].dirInvert = true;
    inverted[0].enableActiveLow = false;
    coil.setOutputs(inverted);
    coil.PowerOn();
    EXPECT_EQ(lpt.data(888), Enable1) << "CW low, ENABLE high when active high";
    EXPECT_EQ(coil.IdleValue(), 0);
}

TEST_F(StepDirOutputTest, aStepDirStepperBesideAPhaseStepper_keepsItsDriverOffWhileTheOtherTurns) {
    stepDir(1); // stepper 2 on STEP D5, DIR D1, ENABLE D3
    select(0);  // stepper 1 on the coil code turns
    state.StepCounter = 2;
    coil.PowerOn();
    EXPECT_EQ(lpt.data(888), 3 | Enable1 | Enable2) << "the coil code passes, ENABLE 2 high";
    EXPECT_EQ(coil.ReadData(), 3 | Enable1);

    select(1);
    state.StepCounter = 1;
    coil.PowerOn();
    EXPECT_EQ(lpt.data(888), Dir) << "no coil code, no enable 1, ENABLE 2 low";
    EXPECT_EQ(coil.ReadData(), coil.PositionCode() | Enable2);

    // Whatever is written reads back as written, for either stepper selected.
    for (const Long stepper : {0, 1}) {
        select(stepper);
        for (const Long extra : {0, 16, 192})
            for (const Long enable : {0, 4, 8, 12}) {
                const Long logical = coil.PositionCode() | enable | extra;
                EXPECT_EQ(coil.Logical(coil.Physical(logical)), logical)
                    << stepper << " " << logical;
            }
    }
}

TEST_F(StepDirOutputTest, thePinWalkWritesThePinsRawAndEndsOnTheTranslatedValue) {
    stepDir(0);
    state.AutoPower = 1;
    lpt.traceWrites();
    EXPECT_TRUE(panel.WalkOutputPins({}));
    EXPECT_EQ(lpt.valuesWritten(888),
              (std::vector<std::uint8_t>{0, 1, 2, 4, 8, 16, 32, 64, 128, 255, Enable1 | Dir, Dir}));
}

TEST_F(StepDirOutputTest, aPhaseStepperWhoseCodeWouldPulseTheOthersStepLine_keepsItOffTheRegister) {
    stepDir(0); // stepper 1 on STEP D0, DIR D1, ENABLE D2: stepper 2's coil code lines
    select(1);
    EXPECT_TRUE(
        coil.CoilCodeProblem().contains("stepper 1's step/dir driver, whose STEP line is D0"))
        << coil.CoilCodeProblem().toStdString();
    // Every code of the cycle, with the driver on: STEP stays low, stepper 2 stays off and
    // reads back as where it stands.
    for (const Long counter : {0, 1, 2, 3}) {
        state.StepCounter = counter;
        coil.PowerOn();
        EXPECT_EQ(lpt.data(888) & (Step1 | Enable2), 0) << counter;
        EXPECT_EQ(lpt.data(888) & Enable1, Enable1) << counter << ": ENABLE 1 inactive";
        EXPECT_EQ(coil.ReadData() & CoilMask, coil.PositionCode()) << counter;
    }

    // Apart, as the defaults put a second step/dir driver and a phase stepper 1: no problem.
    select(0);
    EXPECT_TRUE(coil.CoilCodeProblem().isEmpty());
    stepDir(1);
    select(0);
    EXPECT_TRUE(coil.CoilCodeProblem().isEmpty());
}
