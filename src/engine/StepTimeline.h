#pragma once

#include "platform/Platform.h"

namespace engine {

// The timing of one turn's steps: each step is due one delay after the step before it, on the
// steady clock, so the time spent drawing and serving events between steps does not stretch
// the period. A step written more than a tenth of the next delay after it was due has fallen
// behind (a slow redraw, a busy machine): the timeline then starts again from that step, so the
// next period is the full delay and no burst of quick steps follows to catch up, which would
// stall a real motor. Smaller lateness is timer jitter and is made up by the next period.
class StepTimeline {
public:
    static constexpr double LateFraction = 0.1;

    explicit StepTimeline(platform::Platform& platform) : platform_(platform) {}

    // Call right after a step was written to the port.
    void stepWritten() { writtenMs_ = platform_.steadyMs(); }
    // Waits until the next step is due, delayMs (0 or more) after this one. With yield the
    // event loop runs meanwhile (at least once, also when the step is already due); without
    // it the thread only sleeps.
    void waitForNext(double delayMs, bool yield);

    // How often the timeline started again because a step was late.
    int restarts() const { return restarts_; }

private:
    platform::Platform& platform_;
    bool started_ = false;
    double writtenMs_ = 0;
    double dueMs_ = 0; // when the step just written was due, then when the next one is
    int restarts_ = 0;
};

} // namespace engine
