#include "core/Degrees.h"

#include "core/TextRules.h"

#include <cmath>

namespace core {

Single DegreesPerStepOf(Single stepsPer360) {
    return stepsPer360 <= 0 ? Single{360} : 360 / stepsPer360;
}

double StepsToDegrees(std::int64_t steps, Single degreesPerStep, int decimals) {
    return RoundHalfEven(static_cast<double>(steps) * static_cast<double>(degreesPerStep),
                         decimals);
}

Long DegreesToSteps(double degrees, Single degreesPerStep) {
    const double steps = degrees / static_cast<double>(degreesPerStep);
    return std::isfinite(steps) ? RoundToLong(steps) : 0;
}

} // namespace core
