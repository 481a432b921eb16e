#include "engine/OverlayPanel.h"

#include "core/TextRules.h"

namespace engine {

OverlayPanel::OverlayPanel(core::ProgramState& state, Engine& engine, PanelView& view)
    : state_(state), engine_(engine), view_(view) {}

void OverlayPanel::MenuToggled(bool checked) {
    if (checked) {
        state_.OverlayMenu = true;
        view_.setOverlayPanelsShown(true);
        engine_.ShowOverlay();
        return;
    }
    // The overlay is settled while the panel still counts, then the panel goes.
    engine_.ApplyOverlay(0);
    state_.OverlayMenu = false;
    view_.setOverlayPanelsShown(false);
}

void OverlayPanel::OverlayChecked(bool ticked) {
    state_.OverlayOn = ticked;
    view_.setOverlayControlsEnabled(ticked);
    engine_.ShowOverlay();
}

void OverlayPanel::OverlayInputClicked() {
    const double value = core::LeadingNumber(view_.fieldText(EntryField::Text12));
    if (value <= 0) {
        view_.showOverlayCheck(false, false);
        OverlayChecked(false);
    } else {
        state_.OverlaySteps = core::RoundToLong(value);
        view_.showOverlayCheck(state_.OverlayOn, true);
        state_.OverlayPosition = 0;
    }
    engine_.ShowOverlay();
}

void OverlayPanel::StepUpClicked() {
    if (std::int64_t{state_.OverlayPosition} + 1 < state_.OverlaySteps)
        engine_.ApplyOverlay(1);
}

void OverlayPanel::StepDownClicked() {
    if (std::int64_t{state_.OverlayPosition} - 1 > 0)
        engine_.ApplyOverlay(-1);
}

void OverlayPanel::AllUpClicked() {
    engine_.ApplyOverlay(std::int64_t{state_.OverlaySteps} - state_.OverlayPosition);
}

void OverlayPanel::AllDownClicked() {
    engine_.ApplyOverlay(-std::int64_t{state_.OverlayPosition});
}

OverlayPanel::ToolTips OverlayPanel::ToolTipsFor(const core::ProgramState& state) {
    const std::int64_t position = state.OverlayPosition;
    const std::int64_t size = state.OverlaySteps;
    return {QStringLiteral("%1 steps down.").arg(position - 1 > 0 ? 1 : 0),
            QStringLiteral("%1 steps up.").arg(position + 1 < size ? 1 : 0),
            QStringLiteral("%1 overlay steps down.").arg(position),
            QStringLiteral("%1 overlay steps up.").arg(std::max<std::int64_t>(size - position, 0))};
}

} // namespace engine
