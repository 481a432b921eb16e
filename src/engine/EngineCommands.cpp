// The engine's commands beyond turning: the stepper choice, parking at exit, and the walk of the
// output pins.
#include "engine/Engine.h"

#include <QScopedValueRollback>
#include <algorithm>

namespace engine {

using core::Long;

namespace {
// The slowest park step: slower delays would be turned by timers that need the event loop.
constexpr Long SlowestParkDelayMs = 1000;
} // namespace

// ---------------------------------------------------------------------------------------------
// The stepper

void Engine::SwitchStepper(Long stepper) {
    switchTo(stepper, false);
}

std::optional<TurnOutcome> Engine::TurnStepperTo(Long stepper, Long position,
                                                 const QString& detail) {
    if (stepper != 0 && stepper != 1)
        return std::nullopt;
    switchTo(stepper, true);
    return TurnTo(TurnRequest{position, TurnOrigin::Timer}.describedAs(detail));
}

void Engine::switchTo(Long stepper, bool forTimerTable) {
    StopTurningAndFollowing();
    state_.StoreStepperProfile();
    const Long leaving = state_.SelectedStepper == 1 ? 1 : 0;
    const Long chosen = stepper == 1 ? 1 : 0;
    if (chosen == leaving)
        return;
    state_.SelectedStepper = chosen;
    if (forTimerTable) {
        // The timer table turns the other stepper: it stays the window shown.
        for (core::StepperProfile& profile : state_.StoredProfiles) {
            profile.TableWindowShown = false;
            profile.TimerWindowShown = true;
        }
    }
    state_.LoadStepperProfile();
    coil_.UpdateStepperBits();
    // Both steppers share the coil lines: the chosen one's position code goes on them, drivers
    // off, before the windows are built again (which powers its driver on that code).
    coil_.WriteData(coil_.PositionCode());
    emit stepperSwitched(state_.WebcamWindowOpen && !forTimerTable);
    Long value = coil_.PositionCode();
    if (state_.WebcamWindowOpen)
        value |= state_.StepperBits | state_.LptExtraBits;
    coil_.WriteData(value);
}

TurnOutcome Engine::ParkBothSteppers() {
    const std::uint64_t stops = stops_;
    for (const Long stepper : {0, 1}) {
        const TurnOutcome outcome = park(stepper);
        // A stop ends the whole park.
        if (outcome != TurnOutcome::Done || stops_ != stops)
            return outcome;
    }
    return TurnOutcome::Done;
}

TurnOutcome Engine::park(Long stepper) {
    core::StepperProfile& stored = state_.StoredProfiles[stepper];
    if (stored.StepCounter <= stored.MinPosition)
        return TurnOutcome::Done;
    if (!admits(TurnOrigin::Park)) {
        TurnRecord record = beginRecord({stored.MinPosition, TurnOrigin::Park});
        record.stepper = stepper;
        record.from = stored.StepCounter;
        finishRecord(record, TurnOutcome::Refused, stops_, requests_);
        return TurnOutcome::Refused;
    }
    const Busy busy(*this);
    const QScopedValueRollback gate(gate_, Gate{TurnOrigin::Park});
    // The stepper turns with its own switches, overlay, limits, speeds and phase, and on its
    // own output: selected while it parks, so its own driver's lines are written.
    const QScopedValueRollback selected(state_.SelectedStepper, stepper);
    state_.working() = stored;
    state_.StepperBits = port::StepperBitsFor(stepper, state_.BothSteppersPin6);
    const Long delay = stored.SpeedModulate ? stored.CustomDelayMs : stored.FastestDelayMs;
    state_.StepDelayMs = std::clamp<Long>(delay, 1, SlowestParkDelayMs);
    state_.TargetPosition = stored.MinPosition;
    TurnRecord record = beginRecord({stored.MinPosition, TurnOrigin::Park});
    record.stepper = stepper;
    const QScopedValueRollback recording(recording_, &record);
    const std::uint64_t stops = stops_;
    turnToward(port::Direction::CCW);
    // Where it stands, also when the rig's transmit or a switch ended the park early.
    stored.OverlayPosition = state_.OverlayPosition;
    stored.StepCounter = state_.StepCounter;
    const TurnOutcome outcome = gate_.held ? TurnOutcome::Held : TurnOutcome::Done;
    finishRecord(record, outcome, stops, requests_);
    return outcome;
}

// ---------------------------------------------------------------------------------------------
// The port

void Engine::WalkOutputPins() {
    StopTurningAndFollowing();
    const Busy busy(*this);
    StopSlowTimers();
    portPanel_.WalkOutputPins({});
}

} // namespace engine
