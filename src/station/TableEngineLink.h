#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/MainFields.h"
#include "engine/TurnCommands.h"
#include "table/TableLinks.h"

namespace station {

// The frequency table's way to the engine: its stop and turns, and the limits and steps per 360
// it changes (chkMinMax) shown in the main window's fields, with what depends on them.
class TableEngineLink final : public table::EngineLink {
public:
    TableEngineLink(const core::ProgramState& state, engine::Engine& engine,
                    engine::MainFields& fields, engine::TurnCommands& turns);

    void StopTurning() override { engine_.StopTurningAndFollowing(); }
    void TurnTo(core::Long target) override { engine_.TurnTo({target, engine::TurnOrigin::Window}); }
    void StepperValuesChanged() override;

private:
    const core::ProgramState& state_;
    engine::Engine& engine_;
    engine::MainFields& fields_;
    engine::TurnCommands& turns_;
};

} // namespace station
