#include "engine/DisplayPacing.h"

namespace engine {

DisplayPacing::DisplayPacing(platform::Platform& platform,
                             std::function<void(unsigned displays)> show)
    : show_(std::move(show)), timer_(platform.createTimer([this] { showPending(); })) {}

void DisplayPacing::changed(unsigned displays) {
    pending_ |= displays;
    if (!paced_)
        showPending();
}

void DisplayPacing::begin() {
    paced_ = true;
    timer_->start(IntervalMs);
}

void DisplayPacing::end() {
    paced_ = false;
    timer_->stop();
    showPending();
}

void DisplayPacing::showPending() {
    // Taken first: a handler of what is shown may change more.
    const unsigned displays = pending_;
    pending_ = 0;
    if (displays != 0)
        show_(displays);
}

} // namespace engine
