#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace program {

// What the turning programs and the timer table need of the stepping engine. The application
// gives them one that forwards to the engine; tests give them a fake.
//
// Every call runs on the GUI thread. turnTo and turnStepperTo return when the turn has ended
// (arrived or stopped); while they turn the event loop runs, so any handler may run inside them:
// stop the turn, start another, close the window that asked for the turn. While the rig
// transmits a turn waits where it is (before its first step or at its next one) until transmit
// ends.
class Turner {
public:
    virtual ~Turner() = default;

    // One turn of the selected stepper to target (already within its limits). delayMs: the step
    // delay in ms of this turn alone, without the speed ramp; nullopt: the main window's speed.
    // False when the turn was refused before its first step for a reason that asking again does
    // not change: the port cannot make the steps (the user is told why), the counter is being
    // set by hand, the program is ending.
    virtual bool turnTo(core::Long target, std::optional<core::Long> delayMs) = 0;
    // Makes stepper 0 or 1 the selected one when it is not (as the stepper switch does, its own
    // coil code back on the port), then turns it to target at the main window's speed. False
    // when the turn was skipped: the rig transmitted longer than a timed turn waits.
    // detail names the turn in the move log ("timer record at 07:30:00").
    virtual bool turnStepperTo(core::Long stepper, core::Long target, const QString& detail) = 0;
    // Ends the turn in progress; the position stays where the stepper is.
    virtual void stopTurning() = 0;
    // Grows by one with every stop request (the Stop button, Esc, anything that calls
    // StopTurning), so a run can tell that it was stopped while it waited.
    virtual std::uint64_t stopCount() const = 0;
    // True while the counter is being set by hand: the shaft may be in the user's hand, so no
    // timed turn may start.
    virtual bool counterBeingSet() const = 0;
};

} // namespace program
