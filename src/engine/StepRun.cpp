#include "engine/StepRun.h"

#include "port/StepPulses.h"

#include <algorithm>
#include <utility>
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
               std::vector<port::TimedWrite>& pulses, StepEdges& edges) {
    if (!job.stepDir) {
        Write(job, lpt, value);
        return;
    }
    // The step starts with its first STEP edge; the others follow on their own deadlines, all
    // within the step's period, so a stop never cuts a step short. An edge written late (the
    // thread preempted) pushes the next ones on rather than bunching them: STEP stays pulseUs
    // high and as long low from where it was written, or the driver may miss the pulse, and
    // the pulses come no closer than a late step's do, so the motor can follow them.
    const double startMs = clock.nowMs();
    const double pulseMs = job.stepDir->pulseUs / 1000.0;
    const double riseGapMs =
        StepTimeline::MinPeriodFraction * periodUs / 1000.0 / std::max(job.stepDir->microsteps, 1);
    const auto step = static_cast<std::uint8_t>(1u << job.stepDir->stepBit);
    port::StepPulses(*job.stepDir, base, periodUs, pulses);
    for (const port::TimedWrite& w : pulses) {
        const bool rise = (w.value & step) != 0;
        double dueMs = std::max(startMs + w.atUs / 1000.0, edges.lastMs + pulseMs);
        if (rise)
            dueMs = std::max(dueMs, edges.lastRiseMs + riseGapMs);
        if (w.atUs > 0 || dueMs > startMs)
            clock.sleepUntil(dueMs);
        Write(job, lpt, w.value);
        edges.lastMs = clock.nowMs();
        if (rise)
            edges.lastRiseMs = edges.lastMs;
    }
}

StepRun::StepRun(const StepJob& job, StepControl& control, StepTimeline& timeline,
                 platform::StepClock& clock, platform::LptPort& lpt, SpeedRamp& ramp)
    : job_(job), control_(control), timeline_(timeline), clock_(clock), lpt_(lpt), ramp_(ramp),
      phase_(job.phase) {
    // Reserved once: no step allocates.
    if (job.stepDir)
        pulses_.reserve(2 * static_cast<std::size_t>(std::max(job.stepDir->microsteps, 1)));
}

std::optional<RunEnd> StepRun::step(const std::function<void()>& counted) {
    if (!std::exchange(begun_, true)) {
        // Timed here, where the steps are: the first one never comes before the lead has passed.
        if (job_.leadMs > 0)
            clock_.sleepUntil(clock_.nowMs() + job_.leadMs);
        if (job_.stepDir && control_.made.load() < job_.steps &&
            control_.halt.load() == StepControl::None)
            StartStepDir(job_, control_.values[0].load(), clock_, lpt_);
    }
    const int halt = control_.halt.load();
    if (halt == StepControl::Stop || !lpt_.driven())
        return RunEnd::Stopped;
    if (control_.made.load() >= job_.steps)
        return RunEnd::Arrived;
    if (halt == StepControl::Hold)
        return RunEnd::Held;
    if (halt == StepControl::Recheck)
        return RunEnd::SwitchChanged;
    if (job_.statusAddress &&
        (lpt_.Inp32(*job_.statusAddress) & SwitchStatusBits) != job_.switchesAtStart)
        return RunEnd::SwitchChanged;

    // This step's period: the delay to the next one.
    core::Long delay = control_.delayMs.load();
    std::optional<core::Long> rampDelay;
    if (control_.ramping.load()) {
        rampDelay = ramp_.Next();
        if (rampDelay)
            delay = *rampDelay;
    } else if (job_.delayLimitMs > 0) {
        delay = std::min<core::Long>(delay, static_cast<core::Long>(job_.delayLimitMs));
    }
    if (job_.stepDir && !PulsesKept(*job_.stepDir, static_cast<double>(delay)))
        return RunEnd::TooFast;
    if (rampDelay)
        control_.rampDelayMs.store(*rampDelay);
    delayMs_ = delay;

    const std::uint8_t value = control_.values[phase_].load();
    phase_ = (phase_ + 1) % control_.values.size();
    control_.nextPhase.store(phase_);
    // Counted first: whoever reads the counter meanwhile finds it at the step being made,
    // which the writes follow at once.
    control_.made.fetch_add(1);
    if (counted)
        counted();
    // A coil code is on time when written, a step/dir step with its first STEP edge.
    if (job_.stepDir)
        timeline_.stepWritten();
    double periodMs = 0;
    if (job_.stepDir) {
        periodMs = timeline_.nextDueMs(static_cast<double>(delay)) - clock_.nowMs();
        if (job_.pulseSpanMs > 0)
            periodMs = std::min(periodMs, job_.pulseSpanMs);
    }
    WriteStep(job_, value, control_.values[0].load(), periodMs * 1000.0, clock_, lpt_, pulses_,
              edges_);
    // A coil code the failing device did not take was no step. (Of a step/dir step's edges the
    // STEP rise may have gone out before the failure: it stays counted.)
    if (!job_.stepDir && !lpt_.driven()) {
        control_.made.fetch_sub(1);
        return RunEnd::Stopped;
    }
    if (!job_.stepDir)
        timeline_.stepWritten();
    control_.behind.store(timeline_.behind());
    return std::nullopt;
}

RunEnd RunSteps(const StepJob& job, StepControl& control, StepTimeline& timeline,
                platform::StepClock& clock, platform::LptPort& lpt, SpeedRamp& ramp,
                const std::function<void()>& counted) {
    StepRun run(job, control, timeline, clock, lpt, ramp);
    for (;;) {
        if (const std::optional<RunEnd> end = run.step(counted))
            return *end;
        timeline.waitForNext(static_cast<double>(run.delayMs()));
    }
}

} // namespace engine
