#include "port/CoilOutput.h"

#include "port/DataBitText.h"

#include <limits>

namespace port {

namespace {

constexpr std::array<core::Long, 4> GrayCycle{0, 1, 3, 2};

bool IsIoAddress(core::Long address) {
    return address >= 0 && address <= std::numeric_limits<std::uint16_t>::max();
}

std::uint8_t Bit(int bit) {
    return static_cast<std::uint8_t>(1u << bit);
}

std::uint8_t WithBit(std::uint8_t value, int bit, bool on) {
    return on ? static_cast<std::uint8_t>(value | Bit(bit))
              : static_cast<std::uint8_t>(value & ~Bit(bit));
}

// The logical enable bit of stepper 0 or 1: 4 or 8.
core::Long LogicalEnableBit(std::size_t stepper) {
    return core::Long{4} << stepper;
}

bool IsStepDir(const StepDirSettings& s) {
    return s.output == OutputKind::StepDir;
}

} // namespace

core::Long CoilCode(std::int64_t position) {
    const std::int64_t place = ((position % 4) + 4) % 4;
    return GrayCycle[static_cast<std::size_t>(place)];
}

std::array<core::Long, 4> PhaseSequence(Direction direction, std::int64_t position) {
    // Work on the place in the cycle, so positions at the ends of the range never overflow.
    const std::int64_t place = ((position % 4) + 4) % 4;
    const std::int64_t step = direction == Direction::CW ? 1 : -1;
    std::array<core::Long, 4> codes{};
    for (std::int64_t i = 0; i < 4; ++i)
        codes[static_cast<std::size_t>(i)] = CoilCode(place + step * (i + 1));
    return codes;
}

core::Long StepperBitsFor(core::Long selectedStepper, bool bothSteppersPin6) {
    if (selectedStepper == 1)
        return bothSteppersPin6 ? 28 : 8;
    return bothSteppersPin6 ? 12 : 4;
}

CoilOutput::CoilOutput(core::ProgramState& state, platform::LptPort& lpt)
    : state_(state), lpt_(lpt) {}

void CoilOutput::setOutputs(const StepperOutputs& outputs) {
    outputs_ = outputs;
}

bool CoilOutput::phaseOnly() const {
    return !IsStepDir(outputs_[0]) && !IsStepDir(outputs_[1]);
}

const StepDirSettings& CoilOutput::selectedOutput() const {
    return outputs_[state_.SelectedStepper == 1 ? 1 : 0];
}

bool CoilOutput::coilCodeOnOthersStep() const {
    const StepDirSettings& other = outputs_[state_.SelectedStepper == 1 ? 0 : 1];
    return !selectedStepDir() && IsStepDir(other) && (CoilMask & (core::Long{1} << other.stepBit));
}

QString CoilOutput::CoilCodeProblem() const {
    if (!coilCodeOnOthersStep())
        return {};
    const core::Long selected = state_.SelectedStepper == 1 ? 2 : 1;
    const core::Long other = 3 - selected;
    return QStringLiteral("Stepper %1 is not turned: its coil code on D0 and D1 would step stepper "
                          "%2's step/dir driver, whose STEP line is %3 (a driver that is off "
                          "still counts its STEP pulses). Give stepper %2's STEP a free line "
                          "(step= in [stepper%2] of Ventrolo.ini), or drive stepper %1 by step/dir "
                          "too.")
        .arg(selected)
        .arg(other)
        .arg(DataBitText(outputs_[static_cast<std::size_t>(other - 1)].stepBit));
}

QString CoilOutput::UndrivenLineProblem() const {
    struct Line {
        int bit;
        const char* role;
    };
    const StepDirSettings& s = selectedOutput();
    const std::array<Line, 2> lines =
        selectedStepDir() ? std::array{Line{s.stepBit, "STEP"}, Line{s.dirBit, "DIR"}}
                          : std::array{Line{0, "coil code"}, Line{1, "coil code"}};
    for (const auto& [bit, role] : lines) {
        if (lpt_.drivesDataBit(bit))
            continue;
        return QStringLiteral("Stepper %1 is not turned: its %2 goes out on %3, which has no GPIO "
                              "line (%3=none in [gpio] of Ventrolo.ini), so its steps would be "
                              "counted but never made. Give %3 a line number in [gpio].")
            .arg(state_.SelectedStepper == 1 ? 2 : 1)
            .arg(QLatin1String(role), DataBitText(bit));
    }
    return {};
}

void CoilOutput::SetInhibiting(bool on) {
    inhibiting_ = on;
    if (!inhibit_.bit || !IsIoAddress(state_.LptAddress))
        return;
    const auto address = static_cast<std::uint16_t>(state_.LptAddress);
    lpt_.Out32(address, inhibit_.applied(lpt_.Inp32(address), on));
}

std::uint8_t CoilOutput::Physical(core::Long logical) const {
    return inhibit_.applied(outputsOf(logical), inhibiting_);
}

std::uint8_t CoilOutput::outputsOf(core::Long logical) const {
    const auto value = static_cast<std::uint8_t>(logical);
    if (phaseOnly())
        return value;
    const std::size_t selected = state_.SelectedStepper == 1 ? 1 : 0;
    const std::size_t other = 1 - selected;
    // The logical bits no step/dir driver has a line for: its enable bit, and the coil code
    // while it is the one selected.
    core::Long consumed = 0;
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        if (IsStepDir(outputs_[i]))
            consumed |= LogicalEnableBit(i);
    }
    if (IsStepDir(outputs_[selected]))
        consumed |= CoilMask;
    // A phase stepper that cannot be driven is not enabled.
    const bool codeWithheld = coilCodeOnOthersStep();
    if (codeWithheld)
        consumed |= LogicalEnableBit(selected);
    auto physical = static_cast<std::uint8_t>(value & ~consumed);
    for (const std::size_t i : {other, selected}) {
        const StepDirSettings& s = outputs_[i];
        if (!IsStepDir(s))
            continue;
        const bool enabled = (value & LogicalEnableBit(i)) != 0;
        physical = WithBit(physical, s.enableBit, enabled != s.enableActiveLow);
        physical = WithBit(physical, s.stepBit, false);
        physical = WithBit(physical, s.dirBit, (direction_ == Direction::CW) != s.dirInvert);
    }
    // A selected phase stepper's code on lines the other's DIR may share.
    if (!IsStepDir(outputs_[selected]) && !codeWithheld)
        physical = static_cast<std::uint8_t>((physical & ~CoilMask) | (value & CoilMask));
    return physical;
}

core::Long CoilOutput::Logical(std::uint8_t physical) const {
    physical = static_cast<std::uint8_t>(physical & ~inhibit_.mask());
    if (phaseOnly())
        return physical;
    core::Long logical = physical;
    for (const StepDirSettings& s : outputs_) {
        if (IsStepDir(s))
            logical &= ~(Bit(s.stepBit) | Bit(s.dirBit) | Bit(s.enableBit));
    }
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        const StepDirSettings& s = outputs_[i];
        if (!IsStepDir(s))
            continue;
        const bool high = (physical & Bit(s.enableBit)) != 0;
        logical = high != s.enableActiveLow ? logical | LogicalEnableBit(i)
                                            : logical & ~LogicalEnableBit(i);
    }
    const core::Long coil =
        selectedStepDir() || coilCodeOnOthersStep() ? PositionCode() : physical & CoilMask;
    return (logical & ~CoilMask) | coil;
}

void CoilOutput::UpdateStepperBits() {
    state_.StepperBits = StepperBitsFor(state_.SelectedStepper, state_.BothSteppersPin6);
}

void CoilOutput::SetPhaseSequence(Direction direction, std::int64_t position) {
    state_.PhaseSeq = PhaseSequence(direction, position);
    direction_ = direction;
}

core::Long CoilOutput::ReadData() {
    if (!IsIoAddress(state_.LptAddress))
        return 0;
    return Logical(lpt_.Inp32(static_cast<std::uint16_t>(state_.LptAddress)));
}

void CoilOutput::WriteData(core::Long value) {
    WriteRaw(Physical(value));
}

void CoilOutput::WriteRaw(std::uint8_t value) {
    if (!IsIoAddress(state_.LptAddress))
        return;
    lpt_.Out32(static_cast<std::uint16_t>(state_.LptAddress), value);
}

core::Long CoilOutput::PositionCode() const {
    return CoilCode(state_.PhasePosition());
}

void CoilOutput::PowerOn() {
    WriteCoil(PositionCode());
}

void CoilOutput::WriteCoil(core::Long code) {
    WriteData((code & CoilMask) | state_.StepperBits | state_.LptExtraBits);
}

void CoilOutput::ClearAllPorts() {
    const std::uint8_t idle = IdleValue();
    for (const auto address : platform::StandardLptAddresses)
        lpt_.Out32(address, idle);
}

} // namespace port
