#include "display/StepAngle.h"

#include "core/TextRules.h"

namespace display {

core::Single DegreesPerStepOf(core::Single stepsPer360) {
    return stepsPer360 > 0 ? 360 / stepsPer360 : 360;
}

double StepsToDegrees(double steps, core::Single degreesPerStep) {
    return steps * static_cast<double>(degreesPerStep);
}

core::Long DegreesToSteps(double degrees, core::Single degreesPerStep) {
    if (!(degreesPerStep > 0))
        return core::RoundToLong(degrees);
    return core::RoundToLong(degrees / static_cast<double>(degreesPerStep));
}

} // namespace display
