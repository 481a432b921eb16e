#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"

namespace display {

// A click on a pelorus dial: the stepper turns to the step nearest the counter that points to
// the heading (degrees clockwise from north) within its limits. The turn serves events, so the
// caller must not rely on its window afterwards.
void TurnToHeading(engine::Engine& engine, const core::ProgramState& state, double heading);

} // namespace display
