#include "port/CoilOutput.h"

#include <limits>

namespace port {

namespace {

constexpr std::array<core::Long, 4> GrayCycle{0, 1, 3, 2};

bool IsIoAddress(core::Long address) {
    return address >= 0 && address <= std::numeric_limits<std::uint16_t>::max();
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

void CoilOutput::UpdateStepperBits() {
    state_.StepperBits = StepperBitsFor(state_.SelectedStepper, state_.BothSteppersPin6);
}

void CoilOutput::SetPhaseSequence(Direction direction, std::int64_t position) {
    state_.PhaseSeq = PhaseSequence(direction, position);
}

core::Long CoilOutput::ReadData() {
    if (!IsIoAddress(state_.LptAddress))
        return 0;
    return lpt_.Inp32(static_cast<std::uint16_t>(state_.LptAddress));
}

void CoilOutput::WriteData(core::Long value) {
    if (!IsIoAddress(state_.LptAddress))
        return;
    lpt_.Out32(static_cast<std::uint16_t>(state_.LptAddress), static_cast<std::uint8_t>(value));
}

core::Long CoilOutput::PositionCode() const {
    return CoilCode(std::int64_t{state_.StepCounter} + state_.OverlayPosition);
}

void CoilOutput::WritePositionCode() {
    WriteData((ReadData() & ~CoilMask) | PositionCode());
}

void CoilOutput::PowerOn() {
    WriteCoil(PositionCode());
}

void CoilOutput::WriteCoil(core::Long code) {
    WriteData((code & CoilMask) | state_.StepperBits | state_.LptExtraBits);
}

void CoilOutput::ClearAllPorts() {
    for (const auto address : platform::StandardLptAddresses)
        lpt_.Out32(address, 0);
}

} // namespace port
