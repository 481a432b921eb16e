#pragma once

#include "core/ProgramState.h"

#include <cstdint>

// Steps and degrees: the one conversion every window and subsystem uses.
namespace core {

// Degrees of one step: 360 / stepsPer360, or a whole turn per step when stepsPer360 is 0 or
// less (no degree display).
Single DegreesPerStepOf(Single stepsPer360);
// The degrees of a step count, rounded half to even to the given decimals (one, as the
// displays show them, unless a field asks for more).
double StepsToDegrees(std::int64_t steps, Single degreesPerStep, int decimals = 1);
// The nearest whole step of a degree value (halves to even), held within a Long; 0 when
// there is no such step (degreesPerStep 0).
Long DegreesToSteps(double degrees, Single degreesPerStep);

} // namespace core
