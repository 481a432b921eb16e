#include "port/SwitchInputs.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "port/InputPinTable.h"

#include <QLoggingCategory>

namespace port {

Q_LOGGING_CATEGORY(lcSwitches, "ventrolo.port.switches")

using core::Long;

namespace {
enum class Switch { Begin, End, Center };
} // namespace

SwitchInputs::SwitchInputs(core::ProgramState& state, platform::Platform& platform,
                           platform::LptPort& lpt, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), lpt_(lpt), simulation_(state, lpt) {
    connect(&simulation_, &InputSimulation::openChanged, this, &SwitchInputs::menusChanged);
}

void SwitchInputs::setLabel(const QString& text, Long color) {
    if (label_.text == text && label_.color == color)
        return;
    label_.text = text;
    label_.color = color;
    emit labelChanged();
}

void SwitchInputs::showInputValue(Long value) {
    setLabel(QStringLiteral("Inp(") + core::PlainNumberText(state_.LptStatusAddress) +
                 QStringLiteral(")=") + core::PlainNumberText(value),
             InputLabelBlack);
}

void SwitchInputs::UpdateLabelVisibility() {
    const bool visible = state_.RemoteTurning || state_.EndSwitches;
    if (label_.visible == visible)
        return;
    label_.visible = visible;
    emit labelChanged();
}

void SwitchInputs::ShowStatusRegister() {
    showInputValue(ReadStatusRegister(state_, lpt_));
}

std::optional<SwitchHit> SwitchInputs::CheckSwitches() {
    // While a simulated press is pending it replaces the port, and acts once: its value is
    // taken away as it is read.
    const bool simulated = state_.SimulatedInput > 0;
    const Long v = simulated ? state_.SimulatedInput : ReadStatusInputs(state_, lpt_);
    Switch closed;
    if (v & BeginInput) {
        // The begin pin is the centre switch in centre mode.
        closed = state_.CenterSwitch ? Switch::Center : Switch::Begin;
        if (simulated)
            state_.SimulatedInput -= BeginInput;
        setLabel(InputPinTable[state_.CenterSwitch ? CenterRow : BeginRow].name, InputLabelBlue);
    } else if ((v & EndInput) && !state_.CenterSwitch) {
        closed = Switch::End;
        if (simulated)
            state_.SimulatedInput -= EndInput;
        setLabel(InputPinTable[EndRow].name, InputLabelRed);
    } else {
        // No switch closed; the end pin is not used in centre mode.
        showInputValue(v);
        if (simulated && (v & EndInput))
            state_.SimulatedInput -= EndInput;
        switchHandled_ = false;
        return std::nullopt;
    }
    if (state_.SwitchesShowOnly)
        return std::nullopt;

    SwitchHit hit{state_.CenterPosition, state_.OverlaySteps, false};
    if (closed == Switch::Begin)
        hit = {state_.MinPosition, 0, state_.StepCounter < state_.MinPosition};
    else if (closed == Switch::End)
        hit = {state_.MaxPosition, state_.OverlaySteps, state_.StepCounter > state_.MaxPosition};
    if (switchHandled_)
        return std::nullopt;
    // A switch found closed where the counter already agrees has been dealt with as well:
    // otherwise the first step away from it, with the switch still closed, would reset the
    // counter and end the turn.
    switchHandled_ = true;
    if (state_.StepCounter == hit.position)
        return std::nullopt;
    qCInfo(lcSwitches) << "switch sets the counter from" << state_.StepCounter << "to"
                       << hit.position;
    return hit;
}

int SwitchInputs::ReadRemote() {
    const bool simulated = state_.SimulatedInput > 0;
    const Long v = simulated ? state_.SimulatedInput : ReadStatusInputs(state_, lpt_);
    const int direction = (v & RemoteCcwInput) ? -1 : (v & RemoteCwInput) ? 1 : 0;
    if (direction == 0) {
        showInputValue(v);
        return 0;
    }
    if (simulated)
        state_.SimulatedInput -= direction < 0 ? RemoteCcwInput : RemoteCwInput;
    setLabel(InputPinTable[direction < 0 ? RemoteCcwRow : RemoteCwRow].name, InputLabelMagenta);
    return direction;
}

SwitchMenuChecks SwitchInputs::menuChecks() const {
    SwitchMenuChecks checks;
    checks.centerSwitch = state_.EndSwitches && state_.CenterSwitch;
    checks.beginEndSwitches = state_.EndSwitches && !state_.CenterSwitch;
    checks.showOnly = state_.SwitchesShowOnly;
    checks.remoteTurning = state_.RemoteTurning;
    checks.simulation = simulation_.isOpen();
    checks.centerCaption = QStringLiteral("Center switch(") +
                           core::PlainNumberText(state_.CenterPosition) + QStringLiteral(")...");
    return checks;
}

void SwitchInputs::askCenterPosition() {
    const Long low = state_.MinPosition;
    const Long high = state_.MaxPosition;
    const QString prompt = QStringLiteral("Give the center position between ") +
                           core::NumberText(low) + QStringLiteral(" to") + core::NumberText(high);
    // The middle of the range, which the range check below accepts.
    const std::int64_t middle = std::int64_t{low} + (std::int64_t{high} - low) / 2;
    const QString answer =
        platform_.inputBox(prompt, core::MessageTitle(), QString::number(middle));
    if (answer.trimmed().isEmpty())
        return; // Cancel: the centre position stays
    const double value = core::RoundHalfEven(core::LeadingNumber(answer));
    if (value >= low && value <= high)
        state_.CenterPosition = static_cast<Long>(value);
    else
        platform_.beep();
}

void SwitchInputs::SwitchMenus(int choice) {
    const SwitchMenuChecks before = menuChecks();
    simulation_.Close();
    switch (choice) {
    case 1:
        if (!before.centerSwitch) {
            askCenterPosition();
            state_.CenterSwitch = true;
            state_.EndSwitches = true;
        }
        break;
    case 2:
        if (!before.beginEndSwitches) {
            state_.EndSwitches = true;
            state_.CenterSwitch = false;
        }
        break;
    case 3:
        state_.SwitchesShowOnly = true;
        break;
    case 5:
        state_.SwitchesShowOnly = false;
        break;
    case 4:
        state_.EndSwitches = false;
        state_.SwitchesShowOnly = false;
        state_.CenterSwitch = false;
        break;
    default:
        break;
    }
    UpdateLabelVisibility();
    emit menusChanged();
}

void SwitchInputs::CenterSwitchClicked() {
    if (menuChecks().centerSwitch)
        emit menusChanged(); // the entry keeps its check
    else
        SwitchMenus(1);
}

void SwitchInputs::BeginEndSwitchesClicked() {
    if (menuChecks().beginEndSwitches)
        emit menusChanged();
    else
        SwitchMenus(2);
}

void SwitchInputs::ShowOnlyClicked() {
    state_.SwitchesShowOnly = !state_.SwitchesShowOnly;
    SwitchMenus(state_.SwitchesShowOnly ? 3 : 5);
}

void SwitchInputs::AllSwitchesOffClicked() {
    SwitchMenus(4);
}

void SwitchInputs::RemoteTurningClicked() {
    state_.RemoteTurning = !state_.RemoteTurning;
    SwitchMenus(0);
}

} // namespace port
