#pragma once

#include "core/ProgramState.h"

#include <cstdint>
#include <optional>

namespace engine {

// The slow-fast-slow speed ramp of a turn of n steps: per-step delays (ms) that fall along a
// parabola from both ends of the turn to FastestDelayMs in the middle; the first and the last
// step take CustomDelayMs. Entries are computed when asked for, so a turn across the whole
// range of a Long costs no memory.
class SpeedRamp {
public:
    // A new ramp of steps entries (a ramp of 0 steps keeps the previous one); the index goes
    // back to the start either way.
    void Plan(std::int64_t steps, core::Long customDelayMs, core::Long fastestDelayMs);
    // Back to the first entry.
    void Reset() { index_ = 0; }
    // The next delay: the entries in order, then again from the first. nullopt while no ramp
    // has been planned.
    std::optional<core::Long> Next();

    std::int64_t size() const { return steps_; }
    // Entry i, 1..size().
    core::Long Entry(std::int64_t i) const;

private:
    std::int64_t steps_ = 0;
    std::int64_t half_ = 1;
    float k_ = 0;
    core::Long custom_ = 0;
    core::Long fastest_ = 0;
    std::int64_t index_ = 0;
};

} // namespace engine
