#include "station/EngineTurner.h"

namespace station {

EngineTurner::EngineTurner(engine::Engine& engine, const panel::CounterByHand& counterByHand,
                           QObject* parent)
    : QObject(parent), engine_(engine), counterByHand_(counterByHand) {
    connect(&engine_, &engine::Engine::stopped, this, [this] { ++stops_; });
}

bool EngineTurner::turnTo(core::Long target, std::optional<core::Long> delayMs) {
    using Ramp = engine::TurnRequest::Ramp;
    const engine::TurnRequest request{target, engine::TurnOrigin::Program, delayMs,
                                      delayMs ? Ramp::Off : Ramp::AsSet};
    if (engine_.TurnTo(request) != engine::TurnOutcome::Refused)
        return true;
    // A turn that another one took over while it waited for transmit to end was refused for
    // this once; the front door's reasons hold for the next turn too.
    const std::optional<engine::TurnRefusal> refusal = engine_.Refuses(request);
    return !refusal || refusal->why == engine::TurnRefusal::Why::Transmitting;
}

bool EngineTurner::turnStepperTo(core::Long stepper, core::Long target, const QString& detail) {
    return engine_.TurnStepperTo(stepper, target, detail) != engine::TurnOutcome::TimedOut;
}

void EngineTurner::stopTurning() {
    engine_.StopTurningAndFollowing();
}

bool EngineTurner::counterBeingSet() const {
    return counterByHand_.asking();
}

} // namespace station
