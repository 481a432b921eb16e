#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "tuning/RigTuning.h"
#include "vna/StepperMover.h"

namespace station {

// The table builder's way to the stepper: every turn an engine request of origin VnaBuild, so
// that no turn starts or goes on while the rig transmits. The VNA shares the antenna with the
// rig, so it counts a transmitting rig as transmitting even where the user lets turns go on.
class EngineMover final : public vna::StepperMover {
public:
    EngineMover(core::ProgramState& state, engine::Engine& engine, const tuning::RigTuning& tuning)
        : state_(state), engine_(engine), tuning_(tuning) {}

    Move moveTo(long position) override;
    long position() const override { return state_.StepCounter; }
    bool transmitting() const override;
    void stop() override { engine_.StopTurningAndFollowing(); }

private:
    core::ProgramState& state_;
    engine::Engine& engine_;
    const tuning::RigTuning& tuning_;
};

} // namespace station
