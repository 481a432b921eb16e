#include "vna/LoopModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vna {

LoopModel::LoopModel(LoopParameters parameters, long position)
    : parameters_(parameters), motor_(position), shaft_(double(position)), random_(parameters.seed),
      noise_(0.0, parameters.noise > 0 ? parameters.noise : 1e-12) {}

void LoopModel::follow(long position) {
    const double play = parameters_.backlashSteps;
    if (position > motor_)
        shaft_ = std::max(shaft_, position - play);
    else if (position < motor_)
        shaft_ = std::min(shaft_, double(position));
    shaft_ = std::clamp(shaft_, position - play, double(position));
    motor_ = position;
}

double LoopModel::resonanceHzAt(double shaftPosition) const {
    const double capacitance =
        parameters_.capacitanceF + parameters_.capacitancePerStepF * shaftPosition;
    return 1.0 / (2 * std::numbers::pi * std::sqrt(parameters_.inductanceH * capacitance));
}

double LoopModel::shaftPositionFor(double hz) const {
    const double omega = 2 * std::numbers::pi * hz;
    const double capacitance = 1.0 / (omega * omega * parameters_.inductanceH);
    return (capacitance - parameters_.capacitanceF) / parameters_.capacitancePerStepF;
}

double LoopModel::bandwidthHzAt(double hz) const {
    // |Γ| = 1/3 where Q·(f/f0 - f0/f) = ±1/√2.
    return hz / parameters_.loadedQ / std::numbers::sqrt2;
}

std::complex<double> LoopModel::s11(double hz) const {
    const double f0 = resonanceHz();
    // A series resonator matched at f0: Z/50 = 1 + jQ(f/f0 - f0/f).
    const std::complex<double> z(1.0, parameters_.loadedQ * (hz / f0 - f0 / hz));
    return (z - 1.0) / (z + 1.0);
}

std::complex<double> LoopModel::measure(double hz) {
    const std::complex<double> exact = s11(hz);
    if (parameters_.noise <= 0)
        return exact;
    return exact + std::complex<double>(noise_(random_), noise_(random_));
}

} // namespace vna
