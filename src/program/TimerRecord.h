#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <optional>

namespace program {

// One turn of the timer table: at time of day `time` stepper `stepper` turns to `position`.
struct TimerRecord {
    QString time; // "hh:mm:ss"
    core::Long position = 0;
    core::Integer stepper = 0; // 0: stepper 1, 1: stepper 2

    bool operator==(const TimerRecord&) const = default;
};

// True for a time of day written "hh:mm:ss": six digits, hours up to 23, minutes and seconds up
// to 59.
bool IsClockTime(const QString& text);

// The position a text holds: a number ("150", " 1e3 ") rounded to a whole one and held within
// the 32-bit range; nullopt for a text that is no number ("", "abc", "12x").
std::optional<core::Long> PositionOf(const QString& text);

} // namespace program
