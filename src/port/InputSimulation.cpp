#include "port/InputSimulation.h"

#include "port/LptBackendFactory.h"
#include "port/SimulatedLpt.h"

namespace port {

namespace {

// The status register bits of the inputs: input value v is status bit v x 8.
constexpr int StatusShift = 3;

} // namespace

QString InputSimulation::Button::caption() const {
    return name + QLatin1Char(' ') + pinLabel + (inputHigh ? QLatin1Char('1') : QLatin1Char('0'));
}

InputSimulation::InputSimulation(core::ProgramState& state, platform::LptPort& lpt, QObject* parent)
    : QObject(parent), state_(state), lpt_(lpt), simulated_(SimulatedBackend(lpt)) {}

void InputSimulation::MenuClicked() {
    if (open_) {
        Close();
        return;
    }
    if (!state_.EndSwitches && !state_.CenterSwitch && !state_.RemoteTurning) {
        emit refused(QStringLiteral(
            "Simulation LptInput plays the remote buttons and the switches: first tick "
            "\"Remote controlled turning\", \"Begin and End switch\" or \"Center switch...\" "
            "in the Edit menu."));
        return;
    }
    open_ = true;
    emit openChanged(true);
}

void InputSimulation::Close() {
    if (!open_)
        return;
    open_ = false;
    state_.SimulatedInput = 0;
    hold(0);
    emit openChanged(false);
}

std::array<InputSimulation::Button, InputSimulation::ButtonCount> InputSimulation::buttons() const {
    const int first = state_.CenterSwitch ? CenterRow : BeginRow;
    const std::array<int, ButtonCount> rows{RemoteCcwRow, RemoteCwRow, first, first + 1};
    // The second switch button stays the end input, also where centre mode labels it unused.
    const std::array<core::Long, ButtonCount> values{RemoteCcwInput, RemoteCwInput, BeginInput,
                                                     EndInput};
    const bool switchMode = state_.EndSwitches || state_.CenterSwitch;
    // What the program takes as its inputs now: the simulated value while one is pending.
    const core::Long inputs =
        state_.SimulatedInput > 0 ? state_.SimulatedInput : ReadStatusInputs(state_, lpt_);

    std::array<Button, ButtonCount> result;
    for (int i = 0; i < ButtonCount; ++i) {
        const InputPin& pin = InputPinTable[static_cast<std::size_t>(rows[i])];
        Button& b = result[static_cast<std::size_t>(i)];
        b.name = pin.name;
        b.pinLabel = pin.pinLabel;
        b.value = values[static_cast<std::size_t>(i)];
        b.enabled = i < 2 ? state_.RemoteTurning : switchMode;
        b.inputHigh = (inputs & b.value) != 0;
    }
    return result;
}

void InputSimulation::press(int index) {
    if (index < 0 || index >= ButtonCount)
        return;
    const Button b = buttons()[static_cast<std::size_t>(index)];
    if (!b.enabled)
        return;
    state_.SimulatedInput = b.value;
    hold(held_ | b.value);
}

void InputSimulation::release(int index) {
    if (index < 0 || index >= ButtonCount)
        return;
    hold(held_ & ~buttons()[static_cast<std::size_t>(index)].value);
}

void InputSimulation::hold(core::Long inputs) {
    if (!simulated_ || inputs == held_)
        return;
    const auto dataAddress = static_cast<std::uint16_t>(state_.LptStatusAddress - 1);
    const core::Long status = simulated_->Inp32(static_cast<std::uint16_t>(dataAddress + 1));
    const core::Long others = status & ~(held_ << StatusShift);
    simulated_->setStatus(dataAddress, static_cast<std::uint8_t>(others | (inputs << StatusShift)));
    held_ = inputs;
}

} // namespace port
