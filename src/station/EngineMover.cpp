#include "station/EngineMover.h"

#include <algorithm>
#include <limits>

namespace station {

using Outcome = vna::StepperMover::Outcome;

vna::StepperMover::Move EngineMover::moveTo(long position) {
    // The engine would stop at the limit; the builder must know it never got there.
    const auto target = core::Long(std::clamp<long>(
        position, std::numeric_limits<core::Long>::min(), std::numeric_limits<core::Long>::max()));
    engine::TurnRequest turn{target, engine::TurnOrigin::VnaBuild};
    turn.refusedBeyondLimits().describedAs(QStringLiteral("VNA build"));
    if (const std::optional<engine::TurnRefusal> refusal = engine_.Refuses(turn);
        refusal && (refusal->why == engine::TurnRefusal::Why::BeyondLimits ||
                    refusal->why == engine::TurnRefusal::Why::OutputUnable))
        return {Outcome::Refused, refusal->text};
    switch (engine_.TurnTo(turn)) {
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
