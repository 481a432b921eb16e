#pragma once

#include "core/ProgramState.h"

// The one conversion between step counts and degrees the displays use.
namespace display {

// Degrees per step of a stepper with stepsPer360 steps for a whole turn; 360 when it has none
// (0 or less), as the degree display then shows nothing.
core::Single DegreesPerStepOf(core::Single stepsPer360);
// The angle of a step count: steps x degreesPerStep.
double StepsToDegrees(double steps, core::Single degreesPerStep);
// The step count of an angle: degrees / degreesPerStep rounded to the nearest step, halves to
// even. Without a step angle (0 or less) the degrees are taken as steps.
core::Long DegreesToSteps(double degrees, core::Single degreesPerStep);

} // namespace display
