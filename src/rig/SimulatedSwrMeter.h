#pragma once

#include "core/ProgramState.h"
#include "rig/SimulatedRig.h"
#include "rig/SwrMeter.h"

#include <functional>
#include <optional>

namespace rig {

// The simulated rig's SWR meter and power setting, so that the SWR tune can be tried without a
// transceiver: the loop's resonance lies setDetuneSteps() steps from the table's position for
// the dial's frequency (as a loop drifts), and the SWR grows with the stepper's distance from
// it. It reads only while the rig transmits.
class SimulatedSwrMeter final : public SwrMeter {
public:
    static constexpr double HighestPowerW = 100;
    // Farther off than the meter's scale reaches.
    static constexpr double OffScale = 9.9;

    // tablePosition: the table's position for a frequency in kHz; nullopt outside the table.
    SimulatedSwrMeter(const core::ProgramState& state, SimulatedRig& rig,
                      std::function<std::optional<core::Long>(double kHz)> tablePosition);

    void setDetuneSteps(int steps) { detune_ = steps; }
    double powerW() const { return powerW_; }
    void setPowerW(double watts) { powerW_ = watts; }
    // As a rig whose CAT cannot set the power and that gives at most mostW (0: one that can).
    void setPowerUnsettable(double mostW) { unsettableMostW_ = mostW; }
    // The SWR at the stepper's position now; nullopt outside the table.
    std::optional<double> swrHere() const;

    QString powerUnsettable() const override;
    std::optional<double> mostPowerW() const override;
    void readSwr(Value done) override;
    void readPower(Value done) override;
    void setPower(double watts, Done done) override;

private:
    const core::ProgramState& state_;
    SimulatedRig& rig_;
    std::function<std::optional<core::Long>(double kHz)> tablePosition_;
    int detune_ = 4;
    double powerW_ = 50;
    double unsettableMostW_ = 0;
};

} // namespace rig
