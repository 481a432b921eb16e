#include "rig/SimulatedSwrMeter.h"

#include <algorithm>
#include <utility>

namespace rig {

namespace {

// How fast the SWR grows with the distance from resonance, per step squared: a loop of high
// Q, where a few steps make the difference between 1.1 and 3.
constexpr double SwrPerStepSquared = 0.12;

} // namespace

SimulatedSwrMeter::SimulatedSwrMeter(
    const core::ProgramState& state, SimulatedRig& rig,
    std::function<std::optional<core::Long>(double kHz)> tablePosition)
    : state_(state), rig_(rig), tablePosition_(std::move(tablePosition)) {}

std::optional<double> SimulatedSwrMeter::swrHere() const {
    const std::optional<core::Long> table = tablePosition_(rig_.rig().frequency());
    if (!table)
        return std::nullopt;
    const double off = double(state_.StepCounter) - double(*table) - detune_;
    return std::min(OffScale, 1 + SwrPerStepSquared * off * off);
}

void SimulatedSwrMeter::readSwr(Value done) {
    // No carrier, no reading; nor outside the table, where the loop's tuning is unknown.
    if (!rig_.isOpen() || !rig_.rig().transmitting()) {
        done(std::nullopt);
        return;
    }
    const std::optional<double> swr = swrHere();
    done(swr ? std::optional<double>(*swr) : std::optional<double>(OffScale));
}

QString SimulatedSwrMeter::powerUnsettable() const {
    return unsettableMostW_ > 0 ? QStringLiteral("The simulated rig's CAT cannot set its power.")
                                : QString();
}

std::optional<double> SimulatedSwrMeter::mostPowerW() const {
    return unsettableMostW_ > 0 ? std::optional<double>(unsettableMostW_) : std::nullopt;
}

void SimulatedSwrMeter::readPower(Value done) {
    done(unsettableMostW_ > 0 ? std::nullopt : std::optional<double>(powerW_));
}

void SimulatedSwrMeter::setPower(double watts, Done done) {
    if (unsettableMostW_ > 0 || !rig_.isOpen() || watts <= 0 || watts > HighestPowerW) {
        done(false);
        return;
    }
    powerW_ = watts;
    done(true);
}

} // namespace rig
