#include "engine/DisplayPacing.h"

#include <cmath>

namespace engine {

DisplayPacing::DisplayPacing(platform::Platform& platform,
                             std::function<void(unsigned displays)> show)
    : platform_(platform), show_(std::move(show)),
      timer_(platform.createTimer([this] { tick(); })) {}

void DisplayPacing::changed(unsigned displays) {
    pending_ |= displays;
    if (!paced_)
        showPending();
}

void DisplayPacing::begin() {
    paced_ = true;
    behind_ = false;
    due_ = false;
    shownMs_ = platform_.steadyMs();
    timer_->start(IntervalMs + LateLookMs);
}

void DisplayPacing::end() {
    paced_ = false;
    timer_->stop();
    showPending();
}

void DisplayPacing::hold(bool behind) {
    behind_ = behind;
    if (paced_ && !behind_ && (due_ || platform_.steadyMs() - shownMs_ >= IntervalMs))
        showPending();
}

void DisplayPacing::tick() {
    due_ = true;
    const double heldMs = platform_.steadyMs() - shownMs_;
    if (!behind_ || heldMs >= MaxHoldMs) {
        showPending();
        return;
    }
    // Held while the turn is behind: the next look comes when the hold is up (MaxHoldMs after
    // the last show, not at the interval after it), unless a step back on time shows first.
    timer_->start(static_cast<int>(std::ceil(MaxHoldMs - heldMs)));
}

void DisplayPacing::showPending() {
    due_ = false;
    if (paced_) {
        // The next show comes a whole interval after this one, at the turn's first look then.
        shownMs_ = platform_.steadyMs();
        timer_->start(IntervalMs + LateLookMs);
    }
    // Taken first: a handler of what is shown may change more.
    const unsigned displays = pending_;
    pending_ = 0;
    if (displays != 0)
        show_(displays);
}

} // namespace engine
