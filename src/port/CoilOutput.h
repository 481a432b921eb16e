#pragma once

#include "core/ProgramState.h"
#include "platform/LptPort.h"

#include <array>
#include <cstdint>

namespace port {

// Data register bits (pins of the DB25 connector):
//   D0 (1, pin 2), D1 (2, pin 3)  coil code, shared by both steppers
//   D2 (4, pin 4)                 driver enable of stepper 1
//   D3 (8, pin 5)                 driver enable of stepper 2
//   D4 (16, pin 6)                raised for stepper 2 with "Both steppers and pin6"
//   D5 (32, pin 7)                not used by the engine
//   D6, D7 (64 + 128, pins 8, 9)  held high as a +5 V supply ("Offset Lpt 89 +5V")
inline constexpr core::Long CoilMask = 3;
inline constexpr core::Long Lpt89Bits = 192;

enum class Direction { CW, CCW }; // CW: counter + 1 per step

// The coil code of a motor position: the Gray code 0, 1, 3, 2 of the position's place in the
// four-step cycle. Positions below 0 keep their place in the cycle (mathematical modulo), so a
// turn through 0 stays smooth.
core::Long CoilCode(std::int64_t position);
// The four codes the next four steps from position write.
std::array<core::Long, 4> PhaseSequence(Direction direction, std::int64_t position);
// The driver-enable bits of a stepper: 4 or 8; 12 or 28 when both drivers (and pin 6 for
// stepper 2) are raised together.
core::Long StepperBitsFor(core::Long selectedStepper, bool bothSteppersPin6);

// Writes coil codes with the enable and extra bits to the data register of LptAddress.
// The parts of a written value are combined bitwise: a bit held by both the enable bits and
// the extra bits (pin 6) is set once and never carried into the next pin.
class CoilOutput {
public:
    CoilOutput(core::ProgramState& state, platform::LptPort& lpt);

    platform::LptPort& lpt() { return lpt_; }
    const platform::LptPort& lpt() const { return lpt_; }

    // StepperBits from SelectedStepper and BothSteppersPin6.
    void UpdateStepperBits();
    // PhaseSeq for the next four steps from position.
    void SetPhaseSequence(Direction direction, std::int64_t position);

    // The data register of LptAddress read back; 0 when LptAddress is no I/O address.
    core::Long ReadData();
    // The low byte of value to the data register of LptAddress; nothing when LptAddress is no
    // I/O address (a hand-edited file), so no other port is ever written.
    void WriteData(core::Long value);
    // The coil code now on the register.
    core::Long CurrentCoilBits() { return ReadData() & CoilMask; }
    // The coil code of the selected stepper's motor position (the counter and the overlay steps
    // taken): the only code the register may hold besides a counted step's, since every step
    // is planned from it.
    core::Long PositionCode() const;
    // The position's code to the register, keeping the enable and extra bits on it.
    void WritePositionCode();
    // Enables the driver of the selected stepper on the position's code, in one write.
    void PowerOn();
    // One step: code + StepperBits + LptExtraBits.
    void WriteCoil(core::Long code);
    // 0 to the data registers at 632, 956 and 888, in that order.
    void ClearAllPorts();

private:
    core::ProgramState& state_;
    platform::LptPort& lpt_;
};

} // namespace port
