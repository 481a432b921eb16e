#pragma once

#include "platform/SteppingThread.h"

#include <optional>

namespace engine {

// How a turn kept its time: the figures of its StepTimeline.
struct TurnTiming {
    int steps = 0;
    // The latest any step came after its time on the schedule, in ms.
    double worstLateMs = 0;
    // How far behind its schedule the turn ended, in ms: lateness the turn was too short to
    // make up (0 when it ended on time).
    double endLateMs = 0;
    // When the last period ended (the steady clock): the turn's end for the motor, before what
    // the program does after a turn.
    double endMs = 0;
};

// The timing of one turn's steps: each step is due one delay after the step before it was due,
// on the steady clock, so the time spent drawing and serving events between steps does not
// stretch the turn. A step that comes late (a slow redraw, a busy machine) is made up over the
// following steps, none of them shorter than MinPeriodFraction of its delay: a motor is never
// asked for a burst it cannot follow, and a turn long enough ends on time. Lateness the rest of
// the turn cannot absorb (a tenth of a delay per step) is left: timing().endLateMs tells it.
class StepTimeline {
public:
    static constexpr double MinPeriodFraction = 0.9;

    explicit StepTimeline(platform::StepClock& clock) : clock_(clock) {}

    // Call right after a step was written to the port.
    void stepWritten();
    // When the next step is due: delayMs (0 or more) after this one on the schedule and at
    // least MinPeriodFraction x delayMs after it was written.
    double nextDueMs(double delayMs) const;
    // The schedule moves on to the next step: when it is due (nextDueMs), for a caller that
    // waits for it itself.
    double scheduleNext(double delayMs);
    // Waits until the next step is due (nextDueMs). Inline, the events are served meanwhile,
    // also when the step is due already.
    void waitForNext(double delayMs);

    // The turn stood still (held while the rig transmitted): the schedule starts again now,
    // with no lateness to make up.
    void resumed();
    // Whether the step just written came later than the next step alone can make up.
    bool behind() const;
    // The figures so far; the turn's end is where the last wait ended.
    TurnTiming timing() const;

private:
    platform::StepClock& clock_;
    int steps_ = 0;
    double writtenMs_ = 0;
    double dueMs_ = 0;   // when the step just written was due, then when the next one is
    double delayMs_ = 0; // the delay of the last wait
    double worstLateMs_ = 0;
    std::optional<double> waitedMs_; // when the last wait ended
};

} // namespace engine
