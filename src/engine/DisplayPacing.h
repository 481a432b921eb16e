#pragma once

#include "platform/Platform.h"

#include <functional>
#include <memory>

namespace engine {

// The pace at which a turn is shown: while a turn runs, a step only marks which displays
// changed, and they are shown at most every IntervalMs (20 a second: the counter
// and the needle still move smoothly to the eye, and every frame of the two windows costs the
// machine a repaint of each, most of the GUI thread's time in a turn), whatever
// the step rate; when the turn ends what is left is shown at once, so the last value of a turn is
// always on the screen. Outside turns a change is shown at once.
// Drawing takes time the steps need: while the turn is behind its schedule, showing waits for
// the first step back on time (or at most MaxHoldMs after the last show, so a turn that cannot
// catch up is still seen to move).
// Where the turn looks at its steps about once an interval (hold(), the stepping thread's
// passes), these looks show what is due, so showing costs the GUI thread no wake-up of its own:
// the timer then looks only LateLookMs after the interval, for changes no look follows.
class DisplayPacing {
public:
    static constexpr int IntervalMs = 50;
    static constexpr int LateLookMs = IntervalMs / 2;
    static constexpr double MaxHoldMs = 250;
    enum Display : unsigned {
        Counter = 1,     // counter label and drag bar
        Degrees = 2,     // degree labels and the pelorus
        SliderLabel = 4, // the drag bar's label
        Overlay = 8,
        Speed = 16,
    };

    // show(displays) emits what the displays in the mask show now.
    DisplayPacing(platform::Platform& platform, std::function<void(unsigned displays)> show);

    void changed(unsigned displays);
    // A turn begins: changes wait for the timer.
    void begin();
    // The turn ended: what waits is shown and changes are shown at once again.
    void end();
    // After each step of a turn: whether the turn is behind its schedule. On time, what waits is
    // shown once the interval is up; a show that came due while it was behind is made at the
    // first step back on time.
    void hold(bool behind);

private:
    void tick();
    void showPending();

    platform::Platform& platform_;
    std::function<void(unsigned)> show_;
    std::unique_ptr<platform::Timer> timer_;
    bool paced_ = false;
    bool behind_ = false;
    bool due_ = false;
    double shownMs_ = 0;
    double lookedMs_ = 0;
    bool looksPace_ = false; // the turn's looks come about an interval apart
    unsigned pending_ = 0;
};

} // namespace engine
