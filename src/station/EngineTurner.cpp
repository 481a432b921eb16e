#include "station/EngineTurner.h"

namespace station {

EngineTurner::EngineTurner(engine::Engine& engine, const panel::CounterByHand& counterByHand,
                           QObject* parent)
    : QObject(parent), engine_(engine), counterByHand_(counterByHand) {
    connect(&engine_, &engine::Engine::stopped, this, [this] { ++stops_; });
}

void EngineTurner::turnTo(core::Long target, std::optional<core::Long> delayMs) {
    using Ramp = engine::TurnRequest::Ramp;
    engine_.TurnTo(
        {target, engine::TurnOrigin::Program, delayMs, delayMs ? Ramp::Off : Ramp::AsSet});
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
