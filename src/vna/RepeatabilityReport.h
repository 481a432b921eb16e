#pragma once

#include "vna/TableBuild.h"

#include <vector>

namespace vna {

// A resonance found after approaching position from one side (+1 from below, -1 from above).
struct Approach {
    long position = 0;
    int side = +1;
    double hz = 0;
};

// The spread and backlash the approaches show, converted to steps with the curve's slope
// (Hz per step). The capacitor lags the stepper by the drive's play when it is turned up: from
// below it stands backlash steps lower than from above.
Repeatability AssessRepeatability(const std::vector<Approach>& approaches, double hzPerStep);

} // namespace vna
