#include "engine/Parking.h"

#include "port/CoilOutput.h"

#include <algorithm>

namespace engine {

namespace {

// The slowest park step: slower delays would be turned by timers that need the event loop.
constexpr core::Long SlowestParkDelayMs = 1000;

void Park(core::ProgramState& state, Engine& engine, core::Long stepper) {
    core::StepperProfile& stored = state.StoredProfiles[stepper];
    if (stored.StepCounter <= stored.MinPosition)
        return;
    state.EndSwitches = stored.EndSwitches;
    state.CenterSwitch = stored.CenterSwitch;
    state.OverlayOn = stored.OverlayOn;
    state.SpeedModulate = stored.SpeedModulate;
    state.OverlaySteps = stored.OverlaySteps;
    state.OverlayPosition = stored.OverlayPosition;
    state.StepCounter = stored.StepCounter;
    state.MinPosition = stored.MinPosition;
    state.MaxPosition = stored.MaxPosition;
    state.StepperBits = port::StepperBitsFor(stepper, state.BothSteppersPin6);
    const core::Long delay = stored.SpeedModulate ? stored.CustomDelayMs : stored.FastestDelayMs;
    state.StepDelayMs = std::clamp<core::Long>(delay, 1, SlowestParkDelayMs);
    engine.TurnCCW(stored.MinPosition);
    stored.OverlayPosition = 0;
    stored.StepCounter = stored.MinPosition;
}

} // namespace

bool BothSteppersParked(const core::ProgramState& state) {
    return std::all_of(
        state.StoredProfiles.begin(), state.StoredProfiles.end(),
        [](const core::StepperProfile& p) { return p.StepCounter <= p.MinPosition; });
}

void ParkBothSteppers(core::ProgramState& state, Engine& engine) {
    state.NoYield = true;
    Park(state, engine, 0);
    Park(state, engine, 1);
}

} // namespace engine
