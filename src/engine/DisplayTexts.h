#pragma once

#include "core/ProgramState.h"
#include "engine/EngineView.h"

#include <QString>

namespace engine {

// The counter as the labels show it: "123", "-5".
QString CounterText(core::Long counter);
// The degree label: a blank, the degrees with at least one decimal and a zero before the
// point, and "°": " 12.6°", " 0.0°", " 0.5°", " -0.5°".
QString DegreesLabelText(core::Single degrees);
// StepCounter x DegreesPerStep rounded to one decimal (halves to even).
core::Single CurrentDegreesOf(core::Long counter, core::Single degreesPerStep);
// The overlay labels for the present state.
OverlayDisplay OverlayDisplayFor(const core::ProgramState& state);

} // namespace engine
