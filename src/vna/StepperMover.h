#pragma once

#include <QString>

namespace vna {

// What the table builder needs of the station: turning the stepper and knowing whether the
// rig transmits (the VNA and the rig share the antenna).
class StepperMover {
public:
    enum class Outcome {
        Arrived, // the stepper stands at the position
        Refused, // the turn was not started; reason says why
        Stopped  // the turn ended before the position (stopped, or transmit began)
    };
    struct Move {
        Outcome outcome = Outcome::Arrived;
        QString reason;
    };

    virtual ~StepperMover() = default;

    // Turns to position and returns when the turn has ended; the event loop runs meanwhile.
    virtual Move moveTo(long position) = 0;
    // Where the stepper stands, steps.
    virtual long position() const = 0;
    // True while the rig transmits (or our own PTT is on).
    virtual bool transmitting() const = 0;
    // Ends a turn under way at its next step.
    virtual void stop() = 0;
};

} // namespace vna
