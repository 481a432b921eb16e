#include "station/EngineMover.h"

namespace station {

using Outcome = vna::StepperMover::Outcome;

vna::StepperMover::Move EngineMover::moveTo(long position) {
    // The engine would stop at the limit; the builder must know it never got there.
    if (position < state_.MinPosition || position > state_.MaxPosition)
        return {Outcome::Refused, QStringLiteral("it lies beyond the limits %1 to %2")
                                      .arg(state_.MinPosition)
                                      .arg(state_.MaxPosition)};
    switch (engine_.TurnTo({core::Long(position), engine::TurnOrigin::VnaBuild})) {
    case engine::TurnOutcome::Done:
        // A stop, a switch or another turn ends a turn as done, short of its target.
        return {state_.StepCounter == position ? Outcome::Arrived : Outcome::Stopped, {}};
    case engine::TurnOutcome::Refused:
        return {Outcome::Refused, transmitting() ? QStringLiteral("the rig transmits")
                                                 : QStringLiteral("no turn may start now")};
    case engine::TurnOutcome::Held:
    case engine::TurnOutcome::TimedOut:
        break;
    }
    return {Outcome::Stopped, {}};
}

bool EngineMover::transmitting() const {
    return !engine_.admits(engine::TurnOrigin::VnaBuild) || tuning_.rigTransmitting();
}

} // namespace station
