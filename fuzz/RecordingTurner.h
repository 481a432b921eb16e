#pragma once

#include "core/ProgramState.h"
#include "program/Turner.h"
#include "support/FakePlatform.h"

#include <vector>

namespace fuzz {

// An engine for the programmed turns: a turn takes a millisecond of virtual time (so scheduled
// stops come) and puts the counter on its target at once, however far; every turn is recorded.
struct RecordingTurner : program::Turner {
    struct Turn {
        core::Long target;
        std::optional<core::Long> delayMs;
        core::Long stepper;
    };
    RecordingTurner(core::ProgramState& s, testing_support::FakePlatform& p)
        : state(s), platform(p) {}

    void turnTo(core::Long target, std::optional<core::Long> delayMs) override {
        turns.push_back({target, delayMs, state.SelectedStepper});
        platform.waitMs(1);
        state.StepCounter = target;
    }
    bool turnStepperTo(core::Long stepper, core::Long target) override {
        state.SelectedStepper = stepper;
        turnTo(target, std::nullopt);
        return true;
    }
    void stopTurning() override { ++stops; }
    std::uint64_t stopCount() const override { return stops; }
    bool counterBeingSet() const override { return false; }

    core::ProgramState& state;
    testing_support::FakePlatform& platform;
    std::vector<Turn> turns;
    std::uint64_t stops = 0;
};

} // namespace fuzz
