#include "engine/StepTimeline.h"

#include <algorithm>

namespace engine {

void StepTimeline::stepWritten() {
    writtenMs_ = platform_.steadyMs();
    if (steps_++ == 0)
        dueMs_ = writtenMs_;
    worstLateMs_ = std::max(worstLateMs_, writtenMs_ - dueMs_);
}

void StepTimeline::resumed() {
    dueMs_ = platform_.steadyMs();
}

bool StepTimeline::behind() const {
    return writtenMs_ - dueMs_ > (1 - MinPeriodFraction) * delayMs_;
}

void StepTimeline::waitForNext(double delayMs, bool yield) {
    delayMs = std::max(delayMs, 0.0);
    delayMs_ = delayMs;
    dueMs_ += delayMs;
    const double nextMs = std::max(dueMs_, writtenMs_ + MinPeriodFraction * delayMs);
    if (yield && platform_.steadyMs() >= nextMs)
        platform_.processEvents();
    else
        platform_.waitUntil(nextMs, yield);
}

TurnTiming StepTimeline::timing() const {
    const double nowMs = platform_.steadyMs();
    return {steps_, worstLateMs_, std::max(0.0, nowMs - dueMs_), nowMs};
}

} // namespace engine
