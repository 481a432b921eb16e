#pragma once

#include "core/ProgramState.h"
#include "program/Turner.h"
#include "support/FakePlatform.h"

#include <vector>

namespace program_test {

// An engine on the virtual clock: a turn makes one step per delay, waiting with the window
// live, and ends early on a stop. Records every turn.
struct FakeTurner : program::Turner {
    struct Turn {
        core::Long target;
        std::optional<core::Long> delayMs;
        double atMs;
        core::Long stepper;
    };
    FakeTurner(core::ProgramState& s, testing_support::FakePlatform& p) : state(s), platform(p) {}

    bool turnTo(core::Long target, std::optional<core::Long> delayMs) override {
        turns.push_back({target, delayMs, platform.steadyMs(), state.SelectedStepper});
        if (refusing)
            return false;
        const std::uint64_t stopsAtStart = stops;
        while (state.StepCounter != target && stops == stopsAtStart) {
            state.StepCounter += target > state.StepCounter ? 1 : -1;
            platform.waitMs(delayMs.value_or(state.StepDelayMs));
        }
        return true;
    }
    bool turnStepperTo(core::Long stepper, core::Long target, const QString& /*detail*/) override {
        if (transmitting)
            return false;
        state.SelectedStepper = stepper;
        turnTo(target, std::nullopt);
        return true;
    }
    void stopTurning() override { ++stops; }
    std::uint64_t stopCount() const override { return stops; }
    bool counterBeingSet() const override { return settingCounter; }

    std::vector<core::Long> targets() const {
        std::vector<core::Long> result;
        for (const Turn& turn : turns)
            result.push_back(turn.target);
        return result;
    }

    core::ProgramState& state;
    testing_support::FakePlatform& platform;
    std::vector<Turn> turns;
    std::uint64_t stops = 0;
    bool settingCounter = false;
    bool transmitting = false; // timed turns are skipped
    bool refusing = false;     // every turn is refused before its first step
};

} // namespace program_test
