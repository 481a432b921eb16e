#include "engine/StepRun.h"

#include <algorithm>

namespace engine {

RunEnd RunSteps(const StepJob& job, StepControl& control, StepTimeline& timeline,
                platform::LptPort& lpt, SpeedRamp& ramp, const std::function<void()>& counted) {
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

        const std::uint8_t value = control.values[phase].load();
        phase = (phase + 1) % control.values.size();
        control.nextPhase.store(phase);
        // Counted first: whoever reads the counter meanwhile finds it at the step being made,
        // which the write follows at once.
        control.made.fetch_add(1);
        if (counted)
            counted();
        if (job.address)
            lpt.Out32(*job.address, value);
        timeline.stepWritten();
        control.behind.store(timeline.behind());

        core::Long delay = control.delayMs.load();
        if (control.ramping.load()) {
            if (const auto next = ramp.Next()) {
                delay = *next;
                control.rampDelayMs.store(delay);
            }
        } else if (job.delayLimitMs > 0) {
            delay = std::min<core::Long>(delay, static_cast<core::Long>(job.delayLimitMs));
        }
        timeline.waitForNext(static_cast<double>(delay));
    }
}

} // namespace engine
