#include "engine/StepRun.h"

#include "port/StepPulses.h"

#include <algorithm>
#include <vector>

namespace engine {

bool PulsesKept(const port::StepDirSettings& stepDir, double delayMs) {
    const double spacingUs = delayMs * 1000.0 / std::max(stepDir.microsteps, 1);
    return spacingUs >= std::max(port::MinPulseSpacingUs, 2.0 * stepDir.pulseUs);
}

namespace {

void Write(const StepJob& job, platform::LptPort& lpt, std::uint8_t value) {
    if (job.address)
        lpt.Out32(*job.address, value);
}

} // namespace

void StartStepDir(const StepJob& job, std::uint8_t base, platform::StepClock& clock,
                  platform::LptPort& lpt) {
    Write(job, lpt, base);
    clock.sleepUntil(clock.nowMs() + job.stepDir->dirSetupUs / 1000.0);
}

void WriteStep(const StepJob& job, std::uint8_t value, std::uint8_t base, double periodUs,
               platform::StepClock& clock, platform::LptPort& lpt,
               std::vector<port::TimedWrite>& pulses) {
    if (!job.stepDir) {
        Write(job, lpt, value);
        return;
    }
    // The step starts with its first STEP edge; the others follow on their own deadlines, all
    // within the step's period, so a stop never cuts a step short.
    const double startMs = clock.nowMs();
    port::StepPulses(*job.stepDir, base, periodUs, pulses);
    for (const port::TimedWrite& w : pulses) {
        if (w.atUs > 0)
            clock.sleepUntil(startMs + w.atUs / 1000.0);
        Write(job, lpt, w.value);
    }
}

RunEnd RunSteps(const StepJob& job, StepControl& control, StepTimeline& timeline,
                platform::StepClock& clock, platform::LptPort& lpt, SpeedRamp& ramp,
                const std::function<void()>& counted) {
    // Timed here, where the steps are: the first one never comes before the lead has passed.
    if (job.leadMs > 0)
        clock.sleepUntil(clock.nowMs() + job.leadMs);
    std::vector<port::TimedWrite> pulses;
    if (job.stepDir) {
        // Reserved once: no step allocates.
        pulses.reserve(2 * static_cast<std::size_t>(std::max(job.stepDir->microsteps, 1)));
        if (control.made.load() < job.steps && control.halt.load() == StepControl::None)
            StartStepDir(job, control.values[0].load(), clock, lpt);
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
        // A coil code is on time when written, a step/dir step with its first STEP edge.
        if (job.stepDir)
            timeline.stepWritten();
        const double periodMs =
            job.stepDir ? timeline.nextDueMs(static_cast<double>(delay)) - clock.nowMs() : 0;
        WriteStep(job, value, control.values[0].load(), periodMs * 1000.0, clock, lpt, pulses);
        if (!job.stepDir)
            timeline.stepWritten();
        control.behind.store(timeline.behind());
        timeline.waitForNext(static_cast<double>(delay));
    }
}

} // namespace engine
