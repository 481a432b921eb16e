#pragma once

#include "port/StepDirSettings.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace port {

struct TimedWrite {
    double atUs;        // from the counted step's start
    std::uint8_t value; // the physical register
    bool operator==(const TimedWrite&) const = default;
};

// The writes of one counted step of a step/dir stepper: `microsteps` STEP pulses spread evenly
// over periodUs, the i-th rising at i*periodUs/microsteps and falling pulseUs later; base is the
// physical register with STEP low (ENABLE active, DIR set). Appended to out (cleared first), so
// the stepping thread reuses one buffer without allocating per step.
void StepPulses(const StepDirSettings& s, std::uint8_t base, double periodUs,
                std::vector<TimedWrite>& out);

// Pulse spacing below which a turn is refused: the measured limit of the stepping thread. Closer
// pulses keep it spinning all the time, and the kernel then throttles a real-time thread for
// tens of ms a second (bench/pulse_timing: 16 kHz kept, 32 kHz stalled by 30-45 ms).
inline constexpr double MinPulseSpacingUs = 50.0;

// Empty when a turn at delayMs per counted step can be stepped with these settings (always for
// a phase stepper); else the message for the user: "Stepper 1: 2 ms per step with 256
// microsteps needs a STEP pulse every 7.8 us; the port keeps at most one every 50 us. Choose a
// longer step delay or fewer microsteps." A spacing below MinPulseSpacingUs, or below twice
// the pulse (STEP needs as long low as high), is refused.
QString StepRateProblem(const StepDirSettings& s, int stepper /*1 or 2*/, double delayMs);

} // namespace port
