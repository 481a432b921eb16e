#pragma once

#include <complex>
#include <random>

namespace vna {

// A magnetic loop as the simulated VNA measures it: a fixed inductance and a tuning capacitor
// whose capacitance grows with the stepper's position, matched to 50 Ω at resonance, with a
// loaded Q of a few hundred. The drive between stepper and capacitor may have play: turning
// up leaves the capacitor backlash steps behind the stepper, turning down drags it to the
// stepper's position.
struct LoopParameters {
    double inductanceH = 2e-6;
    double capacitanceF = 200e-12;        // at position 0
    double capacitancePerStepF = 0.05e-12; // 40 m (7.0–7.2 MHz) lies near positions 890–1170
    double loadedQ = 300;
    double noise = 0.003; // standard deviation of the measured S11's real and imaginary parts
    int backlashSteps = 0;
    unsigned seed = 1;
};

class LoopModel {
public:
    explicit LoopModel(LoopParameters parameters = {}, long position = 0);

    // The stepper has turned to position (a straight turn from where it was).
    void follow(long position);
    // Where the capacitor stands, in steps.
    double shaftPosition() const { return shaft_; }

    double resonanceHzAt(double shaftPosition) const;
    double resonanceHz() const { return resonanceHzAt(shaft_); }
    // The position (of the capacitor) that resonates at hz.
    double shaftPositionFor(double hz) const;
    // The width where the SWR is 2 or less, at the resonance of hz.
    double bandwidthHzAt(double hz) const;
    // S11 at hz as the loop reflects it now, and as a VNA measures it (with noise).
    std::complex<double> s11(double hz) const;
    std::complex<double> measure(double hz);

    const LoopParameters& parameters() const { return parameters_; }

private:
    LoopParameters parameters_;
    long motor_ = 0;
    double shaft_ = 0;
    std::mt19937 random_;
    std::normal_distribution<double> noise_;
};

} // namespace vna
