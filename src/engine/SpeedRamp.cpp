#include "engine/SpeedRamp.h"

#include "core/TextRules.h"

#include <algorithm>

namespace engine {

void SpeedRamp::Plan(std::int64_t steps, core::Long customDelayMs, core::Long fastestDelayMs) {
    Reset();
    if (steps <= 0)
        return;
    steps_ = steps;
    custom_ = customDelayMs;
    fastest_ = fastestDelayMs;
    // Half the turn, halves to even (1 -> 0, 3 -> 2, 5 -> 2), at least 1.
    half_ = static_cast<std::int64_t>(core::RoundHalfEven(static_cast<double>(steps) / 2.0));
    if (half_ == 0)
        half_ = 1;
    // The parabola's factor, in single precision as the delays have always been computed.
    const double halfSquared = static_cast<double>(half_) * static_cast<double>(half_);
    k_ = static_cast<float>(static_cast<double>(custom_ - fastest_) / halfSquared);
}

core::Long SpeedRamp::Entry(std::int64_t i) const {
    if (custom_ == fastest_ || i <= 1 || i >= steps_)
        return std::max(custom_, fastest_);
    const std::int64_t x = i <= half_ ? half_ - (i - 1) : i - half_;
    const double v = static_cast<double>(k_) * static_cast<double>(x) * static_cast<double>(x);
    // Never faster than the stepper's fastest: a shorter period stalls the motor and loses steps.
    return v < 1 ? fastest_ : std::max(core::RoundToLong(v), fastest_);
}

std::optional<core::Long> SpeedRamp::Next() {
    if (steps_ <= 0)
        return std::nullopt;
    ++index_;
    if (index_ >= steps_) {
        index_ = 0;
        return Entry(steps_);
    }
    return Entry(index_);
}

} // namespace engine
