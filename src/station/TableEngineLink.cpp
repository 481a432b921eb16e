#include "station/TableEngineLink.h"

#include "core/TextRules.h"

namespace station {

TableEngineLink::TableEngineLink(const core::ProgramState& state, engine::Engine& engine,
                                 panel::MainFields& fields, panel::TurnCommands& turns)
    : state_(state), engine_(engine), fields_(fields), turns_(turns) {}

void TableEngineLink::StepperValuesChanged() {
    using panel::EntryField;
    fields_.setText(EntryField::MaxPosition, core::PlainNumberText(state_.MaxPosition));
    fields_.setText(EntryField::MinPosition, core::PlainNumberText(state_.MinPosition));
    fields_.setText(EntryField::StepsPer360, core::PlainNumberText(state_.StepsPer360));
    engine_.LimitsOrScaleChanged();
    turns_.ShowLimitToolTips();
}

} // namespace station
