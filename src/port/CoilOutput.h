#pragma once

#include "core/ProgramState.h"
#include "platform/LptPort.h"
#include "port/InhibitSettings.h"
#include "port/StepDirSettings.h"

#include <array>
#include <cstdint>

namespace port {

// Data register bits (pins of the DB25 connector):
//   D0 (1, pin 2), D1 (2, pin 3)  coil code, shared by both steppers
//   D2 (4, pin 4)                 driver enable of stepper 1
//   D3 (8, pin 5)                 driver enable of stepper 2
//   D4 (16, pin 6)                raised for stepper 2 with "Both steppers and pin6"
//   D5 (32, pin 7)                not used by the engine; the transmit-inhibit line if set so
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
//
// Callers write and read logical values (coil code bits 0..1, enable bits 4 and 8, pin 6 bit
// 16, extra bits); a step/dir stepper's driver gets them translated onto its STEP, DIR and
// ENABLE bits (Physical), so every power rule drives its ENABLE as it drives a phase driver's
// enable bit. With phase steppers only the register holds the logical value itself.
class CoilOutput {
public:
    CoilOutput(core::ProgramState& state, platform::LptPort& lpt);

    platform::LptPort& lpt() { return lpt_; }
    const platform::LptPort& lpt() const { return lpt_; }

    // Set once at start, before the stepping thread runs: Physical, IdleValue and
    // selectedOutput read them from that thread without locking.
    void setOutputs(const StepperOutputs& outputs);
    const StepperOutputs& outputs() const { return outputs_; }
    // The transmit-inhibit line, set once at start like the outputs: every value written
    // carries its bit at the level of inhibiting().
    void setInhibit(const InhibitSettings& inhibit) { inhibit_ = inhibit; }
    const InhibitSettings& inhibit() const { return inhibit_; }
    bool inhibiting() const { return inhibiting_; }
    // The line set or released at once, the register's other bits as they are.
    void SetInhibiting(bool on);
    // The output of the selected stepper.
    const StepDirSettings& selectedOutput() const;
    bool selectedStepDir() const { return selectedOutput().output == OutputKind::StepDir; }
    // Empty, or why the selected stepper, a phase stepper, cannot be driven: its coil code
    // would pulse the STEP line of the other stepper's step/dir driver, which counts the pulses
    // even while it is off. Its code and enable are then kept off the register (Physical).
    QString CoilCodeProblem() const;
    // Empty, or why the selected stepper cannot be driven: a line its steps go out on (the coil
    // code, or its STEP or DIR) is not driven by the port (a GPIO line set to none), so its
    // steps would be counted but never made.
    QString UndrivenLineProblem() const;

    // The physical register value for a logical one. Phase steppers: their bits as they are. A
    // step/dir stepper: its ENABLE bit at the active level when its logical enable bit (4
    // stepper 1, 8 stepper 2) is set, else at the inactive level; its STEP bit low; its DIR bit
    // at the level of the direction last set by SetPhaseSequence (CW -> high unless dirInvert).
    // Other bits pass. Where the steppers share a line, the selected stepper's use of it wins.
    // The inhibit line's bit is at its level whatever the logical value.
    std::uint8_t Physical(core::Long logical) const;
    // Physical(0): what the register holds with every driver off (ENABLE inactive whatever
    // its polarity).
    std::uint8_t IdleValue() const { return Physical(0); }
    // The logical value of a physical register value: a step/dir stepper's active ENABLE reads
    // as its logical enable bit and, while it is selected, the coil bits as PositionCode(). The
    // inhibit line's bit reads as 0.
    core::Long Logical(std::uint8_t physical) const;

    // StepperBits from SelectedStepper and BothSteppersPin6.
    void UpdateStepperBits();
    // PhaseSeq for the next four steps from position; the direction is also DIR's level.
    void SetPhaseSequence(Direction direction, std::int64_t position);

    // The data register of LptAddress read back as a logical value; 0 when LptAddress is no
    // I/O address.
    core::Long ReadData();
    // Physical(value) to the data register of LptAddress; nothing when LptAddress is no I/O
    // address (a hand-edited file), so no other port is ever written.
    void WriteData(core::Long value);
    // The register written as it is (pin tests), no translation.
    void WriteRaw(std::uint8_t value);
    // The coil code of the selected stepper's motor position (its PhasePosition(): the counter,
    // the overlay steps and the phase offset): the only code the register may hold besides a
    // counted step's, since every step is planned from it.
    core::Long PositionCode() const;
    // Enables the driver of the selected stepper on the position's code, in one write.
    void PowerOn();
    // One step: code + StepperBits + LptExtraBits.
    void WriteCoil(core::Long code);
    // IdleValue() to the data registers at 632, 956 and 888, in that order.
    void ClearAllPorts();

private:
    // No step/dir stepper: logical and physical values are one.
    bool phaseOnly() const;
    // The selected phase stepper's coil code lies on the other step/dir stepper's STEP line.
    bool coilCodeOnOthersStep() const;

    core::ProgramState& state_;
    platform::LptPort& lpt_;
    // The physical value without the inhibit line.
    std::uint8_t outputsOf(core::Long logical) const;

    StepperOutputs outputs_ = DefaultStepperOutputs();
    InhibitSettings inhibit_;
    bool inhibiting_ = false;
    Direction direction_ = Direction::CW;
};

} // namespace port
