#include "engine/StepTimeline.h"

#include <algorithm>

namespace engine {

void StepTimeline::stepWritten() {
    writtenMs_ = clock_.nowMs();
    if (steps_++ == 0)
        dueMs_ = writtenMs_;
    worstLateMs_ = std::max(worstLateMs_, writtenMs_ - dueMs_);
}

void StepTimeline::resumed() {
    dueMs_ = clock_.nowMs();
}

bool StepTimeline::behind() const {
    return writtenMs_ - dueMs_ > (1 - MinPeriodFraction) * delayMs_;
}

double StepTimeline::nextDueMs(double delayMs) const {
    delayMs = std::max(delayMs, 0.0);
    return std::max(dueMs_ + delayMs, writtenMs_ + MinPeriodFraction * delayMs);
}

double StepTimeline::scheduleNext(double delayMs) {
    const double nextMs = nextDueMs(delayMs);
    delayMs_ = std::max(delayMs, 0.0);
    dueMs_ += delayMs_;
    return nextMs;
}

void StepTimeline::waitForNext(double delayMs) {
    const double nextMs = scheduleNext(delayMs);
    if (clock_.nowMs() >= nextMs)
        clock_.serve();
    else
        clock_.waitUntil(nextMs);
    waitedMs_ = clock_.nowMs();
}

TurnTiming StepTimeline::timing() const {
    // The GUI thread may read them well after the run's end.
    const double endMs = waitedMs_ ? *waitedMs_ : clock_.nowMs();
    return {steps_, worstLateMs_, std::max(0.0, endMs - dueMs_), endMs};
}

} // namespace engine
