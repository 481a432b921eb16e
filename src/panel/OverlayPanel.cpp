#include "panel/OverlayPanel.h"

#include "core/TextRules.h"

namespace panel {

OverlayPanel::OverlayPanel(core::ProgramState& state, engine::Engine& engine, MainFields& fields,
                           QObject* parent)
    : QObject(parent), state_(state), engine_(engine), fields_(fields) {}

void OverlayPanel::InitPanel() {
    fields_.setText(EntryField::OverlaySteps, QString::number(state_.OverlaySteps));
    emit checkShown(state_.OverlayOn, state_.OverlaySteps > 0);
    emit controlsEnabled(state_.OverlayOn);
    emit panelsShown(state_.OverlayMenu && state_.OverlaySteps > 0);
    emit displayChanged();
}

void OverlayPanel::MenuToggled(bool checked) {
    if (checked) {
        state_.OverlayMenu = true;
        emit panelsShown(true);
        emit displayChanged();
        return;
    }
    // The overlay is settled while the panel still counts, then the panel goes.
    engine_.ApplyOverlay(0, engine::TurnOrigin::Window);
    state_.OverlayMenu = false;
    emit panelsShown(false);
}

void OverlayPanel::OverlayChecked(bool ticked) {
    switchOverlay(ticked);
    emit checkShown(ticked, true); // told back: the box was clicked, so it is enabled
}

void OverlayPanel::switchOverlay(bool on) {
    state_.OverlayOn = on;
    emit controlsEnabled(on);
    emit displayChanged();
}

void OverlayPanel::OverlayInputClicked() {
    const double value = fields_.value(EntryField::OverlaySteps);
    if (value <= 0) {
        emit checkShown(false, false);
        switchOverlay(false);
    } else {
        state_.OverlaySteps = core::RoundToLong(value);
        emit checkShown(state_.OverlayOn, true);
        engine_.SetCounter(state_.StepCounter, 0);
    }
    emit displayChanged();
}

void OverlayPanel::Use(core::Long steps) {
    fields_.setText(EntryField::OverlaySteps, QString::number(steps));
    OverlayInputClicked();
    if (!state_.OverlayMenu)
        MenuToggled(true);
    if (!state_.OverlayOn)
        OverlayChecked(true);
}

void OverlayPanel::StepUpClicked() {
    if (std::int64_t{state_.OverlayPosition} + 1 < state_.OverlaySteps)
        engine_.ApplyOverlay(1, engine::TurnOrigin::Window);
}

void OverlayPanel::StepDownClicked() {
    if (std::int64_t{state_.OverlayPosition} - 1 > 0)
        engine_.ApplyOverlay(-1, engine::TurnOrigin::Window);
}

void OverlayPanel::AllUpClicked() {
    engine_.ApplyOverlay(std::int64_t{state_.OverlaySteps} - state_.OverlayPosition,
                         engine::TurnOrigin::Window);
}

void OverlayPanel::AllDownClicked() {
    engine_.ApplyOverlay(-std::int64_t{state_.OverlayPosition}, engine::TurnOrigin::Window);
}

} // namespace panel
