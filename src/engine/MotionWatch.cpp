#include "engine/MotionWatch.h"

#include "engine/Engine.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace engine {

MotionWatch::MotionWatch(Engine& engine, core::ProgramState& state, platform::Platform& platform,
                         QObject* parent)
    : QObject(parent), engine_(engine), state_(state), platform_(platform),
      settleTimer_(platform.createTimer([this] {
          settleTimer_->stop();
          emit changed();
          emit settledNow();
      })) {
    // Moving from the first step: a turn the gate refuses or holds before it moves none. The
    // counter is shown at the display's pace, perhaps only after a short turn.
    connect(&engine_, &Engine::turnStarted, this, [this] {
        engineBusy_ = true;
        startCounter_ = state_.StepCounter;
        // The last turn's settling waits for this one: its first steps may come before the
        // counter is shown, and the motor is not settled while they are made.
        settleHeld_ = settleTimer_->isActive();
        settleTimer_->stop();
    });
    connect(&engine_, &Engine::counterChanged, this, [this] {
        if (engineBusy_ && !turning_ && state_.StepCounter != startCounter_)
            turnBegan();
    });
    connect(&engine_, &Engine::turnEnded, this, [this] {
        engineBusy_ = false;
        if (!turning_ && state_.StepCounter != startCounter_)
            turnBegan();
        // A turn that moved nothing: the last one's settling goes on, from now.
        if (std::exchange(settleHeld_, false) && !turning_)
            settleTimer_->start(settleMs_[state_.SelectedStepper == 1 ? 1 : 0]);
        turnMayHaveEnded();
    });
    // A slow turn's timers go on after turnEnded: they end with its record, or with a stop.
    connect(&engine_, &Engine::turnFinished, this, &MotionWatch::turnMayHaveEnded);
    connect(&engine_, &Engine::stopped, this, &MotionWatch::turnMayHaveEnded);
    connect(&engine_, &Engine::slowStepMade, this, [this] {
        if (!turning_)
            turnBegan();
    });
}

MotionWatch::~MotionWatch() = default;

void MotionWatch::turnBegan() {
    settleTimer_->stop();
    settleHeld_ = false;
    if (!std::exchange(turning_, true))
        emit changed();
}

void MotionWatch::turnMayHaveEnded() {
    if (!turning_ || pending())
        return;
    turning_ = false;
    settleTimer_->start(settleMs_[state_.SelectedStepper == 1 ? 1 : 0]);
}

bool MotionWatch::pending() const {
    return engineBusy_ || engine_.slowTurnRunning();
}

std::optional<core::Long> MotionWatch::target() const {
    if (!turning_ && !pending())
        return std::nullopt;
    return state_.TargetPosition;
}

std::optional<QDateTime> MotionWatch::expectedArrival() const {
    if (!turning_ && !pending())
        return std::nullopt;
    const auto stepsLeft = std::llabs(qint64(state_.TargetPosition) - qint64(state_.StepCounter));
    return platform_.now().addMSecs(stepsLeft *
                                    qint64(std::max<core::Long>(state_.StepDelayMs, 1)));
}

int MotionWatch::direction() const {
    if (!turning_ || state_.TargetPosition == state_.StepCounter)
        return 0;
    return state_.TargetPosition > state_.StepCounter ? 1 : -1;
}

} // namespace engine
