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
    lookedMs_ = -IntervalMs;
    looksPace_ = false;
    timer_->start(IntervalMs);
}

void DisplayPacing::end() {
    paced_ = false;
    timer_->stop();
    showPending();
}

void DisplayPacing::hold(bool behind) {
    behind_ = behind;
    const double now = platform_.steadyMs();
    // Looks about an interval apart (the stepping thread's turn) pace the showing themselves;
    // looks at every step of a fast turn (inline) leave it to the timer.
    looksPace_ = now - lookedMs_ >= IntervalMs / 2.0;
    lookedMs_ = now;
    if (paced_ && !behind_ && (due_ || (looksPace_ && now - shownMs_ >= IntervalMs)))
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
        // The next show comes a whole interval after this one: at the turn's first look then
        // when its looks pace it, the timer only looking after them.
        shownMs_ = platform_.steadyMs();
        timer_->start(looksPace_ ? IntervalMs + LateLookMs : IntervalMs);
    }
    // Taken first: a handler of what is shown may change more.
    const unsigned displays = pending_;
    pending_ = 0;
    if (displays != 0)
        show_(displays);
}

} // namespace engine
