#include "engine/StepRun.h"

#include "port/StepPulses.h"

#include <algorithm>
#include <vector>

namespace engine {

bool PulsesKept(const port::StepDirSettings& stepDir, double delayMs) {
    const double spacingUs = delayMs * 1000.0 / std::max(stepDir.microsteps, 1);
    return spacingUs >= std::max(port::MinPulseSpacingUs, 2.0 * stepDir.pulseUs);
}

RunEnd RunSteps(const StepJob& job, StepControl& control, StepTimeline& timeline,
                platform::StepClock& clock, platform::LptPort& lpt, SpeedRamp& ramp,
                const std::function<void()>& counted) {
    auto write = [&](std::uint8_t value) {
        if (job.address)
            lpt.Out32(*job.address, value);
    };
    std::vector<port::TimedWrite> pulses;
    if (job.stepDir) {
        // Reserved once: no step allocates.
        pulses.reserve(2 * static_cast<std::size_t>(std::max(job.stepDir->microsteps, 1)));
        if (control.made.load() < job.steps && control.halt.load() == StepControl::None) {
            write(control.values[0].load());
            clock.sleepUntil(clock.nowMs() + job.stepDir->dirSetupUs / 1000.0);
        }
    }
    std::size_t phase = job.phase;
    for (;;) {
        const int halt = control.halt.load();
        if (halt == StepControl::Stop)
            return RunEnd::Stopped;
        if (control.made.load() >= job.steps)
            return RunEnd::Arrived;
        if (halt == StepControl::Hold)
            return RunEnd::Held;
        if (halt == StepControl::Recheck)
            return RunEnd::SwitchChanged;
        if (job.statusAddress &&
            (lpt.Inp32(*job.statusAddress) & SwitchStatusBits) != job.switchesAtStart)
            return RunEnd::SwitchChanged;

        // This step's period: the delay to the next one.
        core::Long delay = control.delayMs.load();
        const bool ramping = control.ramping.load();
        std::optional<core::Long> rampDelay;
        if (ramping) {
            rampDelay = ramp.Next();
            if (rampDelay)
                delay = *rampDelay;
        } else if (job.delayLimitMs > 0) {
            delay = std::min<core::Long>(delay, static_cast<core::Long>(job.delayLimitMs));
        }
        if (job.stepDir && !PulsesKept(*job.stepDir, static_cast<double>(delay)))
            return RunEnd::TooFast;
        if (rampDelay)
            control.rampDelayMs.store(*rampDelay);

        const std::uint8_t value = control.values[phase].load();
        phase = (phase + 1) % control.values.size();
        control.nextPhase.store(phase);
        // Counted first: whoever reads the counter meanwhile finds it at the step being made,
        // which the writes follow at once.
        control.made.fetch_add(1);
        if (counted)
            counted();
        if (!job.stepDir) {
            write(value);
            timeline.stepWritten();
        } else {
            // The step starts with its first STEP edge; the others follow on their own
            // deadlines, all within the step's period, so a stop never cuts a step short.
            timeline.stepWritten();
            const double startMs = clock.nowMs();
            const double periodMs = timeline.nextDueMs(static_cast<double>(delay)) - startMs;
            port::StepPulses(*job.stepDir, control.values[0].load(), periodMs * 1000.0, pulses);
            for (const port::TimedWrite& w : pulses) {
                if (w.atUs > 0)
                    clock.sleepUntil(startMs + w.atUs / 1000.0);
                write(w.value);
            }
        }
        control.behind.store(timeline.behind());
        timeline.waitForNext(static_cast<double>(delay));
    }
}

} // namespace engine
