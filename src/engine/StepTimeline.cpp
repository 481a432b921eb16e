#include "engine/StepTimeline.h"

#include <algorithm>

namespace engine {

void StepTimeline::waitForNext(double delayMs, bool yield) {
    delayMs = std::max(delayMs, 0.0);
    if (!started_) {
        dueMs_ = writtenMs_;
        started_ = true;
    } else if (writtenMs_ - dueMs_ > LateFraction * delayMs) {
        dueMs_ = writtenMs_;
        ++restarts_;
    }
    dueMs_ += delayMs;
    if (yield && platform_.steadyMs() >= dueMs_)
        platform_.processEvents();
    else
        platform_.waitUntil(dueMs_, yield);
}

} // namespace engine
