// The slow turns: steps more than a second apart, each made from the event loop when it is due
// by the same StepRun, gate, limit and transmit-inhibit line as every other turn, so that
// nothing waits for the whole turn.
#include "engine/Engine.h"
#include "engine/EngineLogging.h"
#include "engine/InlineClock.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>

namespace engine {

using core::Long;
using port::Direction;

struct Engine::SlowTurn {
    SlowTurn(Engine& engine, const StepJob& stepJob, Direction direction, const Gate& turnGate,
             bool holdsInhibit)
        : job(stepJob), clock(engine.platform_, engine.state_.NoYield, [](bool) {}),
          timeline(clock), gate(turnGate), active{control,
                                                  engine.state_.StepCounter,
                                                  engine.state_.StepCounter,
                                                  direction == Direction::CW ? 1 : -1,
                                                  false,
                                                  {engine.stops_, ++engine.turns_},
                                                  gate,
                                                  true},
          target(engine.state_.TargetPosition), inhibits(holdsInhibit),
          startedBy(engine.recording_) {}

    StepControl control;
    StepJob job;
    // Only its sleeps are used (the lead, a step/dir driver's pulses): a slow step never
    // serves events within itself.
    InlineClock clock;
    StepTimeline timeline;
    Gate gate;
    ActiveRun active;
    Long target;
    bool inhibits; // holds the transmit-inhibit line
    // The record of the turn that started it, until that turn hands it over (keptBySlowTurn).
    const TurnRecord* startedBy;
    std::optional<TurnRecord> record;
};

namespace {
// A slow turn's first step comes one delay after the turn began, each later one a delay after
// the one before.
int WakeInMs(double dueMs, double nowMs) {
    return static_cast<int>(std::max(1.0, std::ceil(dueMs - nowMs)));
}
} // namespace

void Engine::startSlowTurn(Direction direction) {
    const bool up = direction == Direction::CW;
    const Long target = state_.TargetPosition;
    // The phase sequence was just set from the present position: the turn starts at its first
    // entry.
    StepJob job = stepJob(up ? std::int64_t{target} - state_.StepCounter
                             : std::int64_t{state_.StepCounter} - target,
                          0);
    if (job.stepDir) {
        // A step's pulses come as fast as the motor is set to follow (or the port keeps them);
        // the long delay lies between the steps.
        job.pulseSpanMs =
            std::max(static_cast<double>(std::max<Long>(state_.FastestDelayMs, 1)),
                     job.stepDir->microsteps *
                         std::max(port::MinPulseSpacingUs, 2.0 * job.stepDir->pulseUs) / 1000.0);
    }
    const bool inhibits = inhibitsTransmit(gate_.origin);
    if (inhibits)
        inhibit_.Hold();
    state_.StopRequest = false;
    slow_ = std::make_shared<SlowTurn>(*this, job, direction, gate_, inhibits);
    slow_->control.delayMs = state_.StepDelayMs;
    const double delayMs = static_cast<double>(std::max<Long>(state_.StepDelayMs, 1));
    slowWake_->start(WakeInMs(std::max(delayMs, inhibit_.leadLeftMs()), 0));
}

bool Engine::keptBySlowTurn(const TurnRecord& record) {
    if (!slow_ || slow_->startedBy != &record)
        return false;
    slow_->startedBy = nullptr;
    slow_->record = record;
    return true;
}

void Engine::slowStep() {
    // Kept alive to the end of the step, whoever ends the turn meanwhile.
    const std::shared_ptr<SlowTurn> slow = slow_;
    if (!slow)
        return;
    const QScopedValueRollback recording(recording_, slow->record ? &*slow->record : nullptr);
    passRun(slow->active, true);
    if (slow_ != slow)
        return;
    // Each step is a run of its own from where the last one ended, as after a hold: a step/dir
    // driver's ENABLE and DIR are written again after the long wait, whatever came meanwhile.
    slow->job.phase = slow->control.nextPhase;
    slow->job.leadMs = inhibit_.leadLeftMs();
    // Due when its wake came: a delay after the one before, after the speed changed, or after
    // transmit ended.
    slow->timeline.resumed();
    StepRun run(slow->job, slow->control, slow->timeline, slow->clock, coil_.lpt(), ramp_);
    const std::optional<RunEnd> end = run.step([&] { syncRun(slow->active); });
    syncRun(slow->active);
    if (end) {
        slowRunEnded(*end);
        return;
    }
    slowWake_->start(WakeInMs(slow->timeline.scheduleNext(static_cast<double>(run.delayMs())),
                              platform_.steadyMs()));
    showRun(slow->active);
    ShowSliderLabel(state_.StepCounter);
    emit slowStepMade();
}

void Engine::slowRunEnded(RunEnd end) {
    SlowTurn& slow = *slow_;
    TurnRecord::End recorded = TurnRecord::End::Stopped;
    QString stoppedBy;
    switch (end) {
    case RunEnd::Held:
        // A program's slow turn waits for its next step; any other one ends here.
        if (gateAnswer(slow.gate, true) != GateAnswer::Refuse) {
            slow.control.halt = StepControl::None;
            slowWake_->start(WakeInMs(static_cast<double>(slow.control.delayMs.load()), 0));
            return;
        }
        qCInfo(lcEngine) << "the rig transmits: the slow turn stops at" << state_.StepCounter;
        state_.TargetPosition = state_.StepCounter;
        recorded = TurnRecord::End::Held;
        break;
    case RunEnd::Arrived:
        if (atLimit(slow.active.direction > 0 ? Direction::CW : Direction::CCW, slow.target))
            platform_.beep();
        recorded = TurnRecord::End::Reached;
        break;
    case RunEnd::TooFast:
        tellNotTurned(rateProblem(static_cast<double>(slow.control.delayMs.load())));
        stoppedBy = QStringLiteral("a stop");
        break;
    case RunEnd::Stopped:
    case RunEnd::SwitchChanged:
        stoppedBy = state_.StopRequest ? lastStopText() : QStringLiteral("a switch or the limit");
        break;
    }
    state_.StopRequest = false;
    state_.PelorusRedraw = true;
    state_.StepActivity = true;
    busyLock_.requestUnlock();
    ShowSliderLabel(state_.StepCounter);
    // Last: whoever hears of the end may start the next turn.
    endSlowTurn(recorded, stoppedBy);
}

void Engine::slowSpeedChanged() {
    const Long delayMs = std::max<Long>(state_.StepDelayMs, 1);
    if (!slow_ || slow_->control.delayMs.load() == delayMs)
        return;
    slow_->control.delayMs = delayMs;
    slowWake_->start(static_cast<int>(delayMs));
}

void Engine::StopSlowTimers() {
    endSlowTurn(TurnRecord::End::Stopped, QStringLiteral("a stop"));
}

QString Engine::lastStopText() const {
    if (stops_ == replacingStop_)
        return QStringLiteral("another turn");
    return stops_ == exitStop_ ? QStringLiteral("the program's end") : QStringLiteral("a stop");
}

void Engine::endSlowTurn(TurnRecord::End end, const QString& stoppedBy) {
    if (!slow_)
        return;
    const std::shared_ptr<SlowTurn> slow = std::exchange(slow_, nullptr);
    slowWake_->stop();
    if (slow->inhibits)
        inhibit_.Let();
    if (!slow->record)
        return;
    TurnRecord& record = *slow->record;
    record.end = end;
    record.stoppedBy = stoppedBy;
    tellFinished(record);
}

} // namespace engine
