#pragma once

#include "core/ProgramState.h"

#include <QString>

namespace panel {

// The main window's overlay labels and the tooltips of the four overlay step buttons.
struct OverlayDisplay {
    QString stepsText;             // lblOverlaySteps: "3"; counts up to 0 ("-7") while OverlayState
    QString degreesText;           // lblOverlayDegrees: "5.4°"
    bool directionVisible = false; // lblOverlayDirection shown: the overlay is on
    QString directionText;         // ">>" after overlay steps up, "<<" after steps given back
    QString stepDownTip;           // cmdOverCCW: "1 steps down."
    QString stepUpTip;             // cmdOverCW: "0 steps up."
    QString allDownTip;            // cmdOverCCWs: "3 overlay steps down."
    QString allUpTip;              // cmdOverCWs: "7 overlay steps up."
    bool operator==(const OverlayDisplay&) const = default;
};

// The counter as the labels show it: "123", "-5".
QString CounterText(core::Long counter);
// The degree label: a blank, the degrees with at least one decimal and a zero before the
// point, and "°": " 12.6°", " 0.0°", " 0.5°", " -0.5°".
QString DegreesLabelText(core::Single degrees);
// The overlay labels for the present state.
OverlayDisplay OverlayDisplayFor(const core::ProgramState& state);
// The drag bar's label for a position: the steps, or with SliderShowsDegrees the degrees
// ("9°").
QString SliderLabelText(const core::ProgramState& state, core::Long value);

} // namespace panel
