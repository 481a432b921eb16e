#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/MainFields.h"
#include "panel/TurnCommands.h"
#include "table/TableLinks.h"

namespace station {

// The frequency table's way to the engine: its turns, each replacing the one under way, and the
// limits and steps per 360 it changes (chkMinMax) shown in the main window's fields, with what
// depends on them.
class TableEngineLink final : public table::EngineLink {
public:
    TableEngineLink(const core::ProgramState& state, engine::Engine& engine,
                    panel::MainFields& fields, panel::TurnCommands& turns);

    void TurnTo(core::Long target) override {
        engine_.TurnTo(engine::TurnRequest{target, engine::TurnOrigin::Window}.replacing());
    }
    void StepperValuesChanged() override;

private:
    const core::ProgramState& state_;
    engine::Engine& engine_;
    panel::MainFields& fields_;
    panel::TurnCommands& turns_;
};

} // namespace station
