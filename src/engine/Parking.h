#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"

namespace engine {

// The park at exit: each stepper whose stored counter lies above its lower limit turns down
// to that limit with its own settings (switches, overlay, speed) and driver bits, and its
// stored profile then says it is there with no overlay taken. NoYield is set: no event is
// served while the steppers turn, so nothing can start another turn or end the program
// meanwhile. The working variables are left as the last park set them; the caller stored
// the working profile before and only saves and ends afterwards.
//
// A stepper turns at most one step a second here (slower speeds would be handed to the
// slow-turn timers, which never fire without events), and within its own limits, so the
// counter that is saved is where the stepper stands.
void ParkBothSteppers(core::ProgramState& state, Engine& engine);

// True when both stored profiles are at or below their lower limits: nothing to park.
bool BothSteppersParked(const core::ProgramState& state);

} // namespace engine
