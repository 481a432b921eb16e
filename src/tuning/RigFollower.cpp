#include "tuning/RigFollower.h"

#include "core/TextRules.h"
#include "table/RowBandwidth.h"
#include "table/TableViewState.h"

#include <cstdlib>

namespace tuning {

RigFollower::RigFollower(const Parts& parts, const rig::RigConnection& rig)
    : state_(parts.state), engine_(parts.engine), wheel_(parts.wheel), editor_(parts.editor),
      view_(parts.view), search_(parts.search), shown_(parts.shown), lookups_(parts.lookups),
      rig_(&rig),
      // Once: the rest is over, and the next reading of the frequency turns (readings come
      // from the polls, which start no turn inside another).
      rest_(parts.platform.createTimer([this] { rest_->stop(); })) {}

RigFollower::~RigFollower() = default;

// --- readings ---

bool RigFollower::Read(core::Single kHz) {
    const bool agreed = kHz == lastReadKHz_;
    lastReadKHz_ = kHz;
    return agreed;
}

void RigFollower::Sent(core::Single kHz) {
    catFrequency_ = kHz;
    lastReadKHz_ = kHz;
}

void RigFollower::Follow(core::Single kHz) {
    catFrequency_ = kHz;
    withinDeadBand_ = false;
    // No reading (a silent or garbled rig) is no frequency: nothing is looked up, nothing
    // moves, and following goes on with the next good reading. Neither does anything relock
    // or turn while our PTT is on or the peak search runs: both hold the lock, with or without
    // the transmit guard, so this is not the engine's gate (which asks only about a turn).
    if (kHz == 0 || shown_.pttOn() || search_.searching()) {
        if (kHz == 0)
            lookups_.ShowNoReading();
        return;
    }

    // Unlocked by the user, or halted with the stepper away from the value shown: the labels
    // only. An unlock of the program's own ends here with a reading in range.
    const bool awayFromShown =
        view_.view().InterpolValueText != core::PlainNumberText(state_.StepCounter);
    if (!locked_ && (userUnlocked_ || (state_.RigFollowHalted && awayFromShown))) {
        if (view_.view().InterpolValueText == table::NoPosition)
            lookups_.ShowLookUp(kHz);
        RangeCheck(kHz);
        finish();
        return;
    }

    const table::Lookup lookup = lookups_.ShowLookUp(kHz);
    if (lookup.kind == table::Lookup::Kind::Fault) // it closed the port
        return;
    if (RangeCheck(kHz)) {
        calibrateEnabled_ = false;
        finish();
        return;
    }
    if (!lookup.ok()) {
        Unlock();
        finish();
        return;
    }
    // At the table's position the user's halt ends, but not while a slow turn of theirs is
    // still on its way from there: following would take it back.
    if (state_.StepCounter == lookup.position &&
        !(state_.RigFollowHalted && engine_.slowTurnRunning())) {
        setLocked(true);
        calibrateEnabled_ = true;
        state_.RigFollowHalted = false;
        finish();
        return;
    }
    setLocked(true);
    calibrateEnabled_ = true;
    if (state_.RigFollowHalted) {
        Unlock();
        finish();
        return;
    }
    view_.SetInputText(core::PlainNumberText(kHz));
    finish();
    if (locked_)
        followTo(kHz, lookup.position);
}

const FollowSettings& RigFollower::followSettings() const {
    return follow_[state_.SelectedStepper == 1 ? 1 : 0];
}

core::Long RigFollower::deadBandStepsAt(core::Single kHz) const {
    const FollowSettings& follow = followSettings();
    if (!follow.deadbandAuto)
        return follow.deadbandSteps;
    return kHz == 0 ? 0 : table::QuarterBandwidthSteps(editor_.data(), kHz).value_or(0);
}

void RigFollower::followTo(core::Single kHz, core::Long position) {
    const FollowSettings& follow = followSettings();
    const std::int64_t distance = std::abs(std::int64_t{position} - state_.StepCounter);
    const core::Long deadBand = deadBandStepsAt(kHz);
    if (deadBand > 0 && distance <= deadBand) {
        withinDeadBand_ = true;
        view_.SetInfoInterpolText(QStringLiteral("within dead band"));
        return;
    }
    switch (follow.mode) {
    case FollowMode::Continuous:
        break;
    case FollowMode::Manual:
        return;
    case FollowMode::Rested:
        // A new frequency starts the rest over; the first reading of it after the rest turns
        // (and the next one again, should the gate have refused that turn).
        if (follow.restMs > 0 && (kHz != restingKHz_ || rest_->isActive())) {
            if (kHz != restingKHz_) {
                restingKHz_ = kHz;
                rest_->start(follow.restMs);
            }
            return;
        }
        break;
    }
    // While the rig transmits (or the counter is set by hand), a position refused once is not
    // asked again at every reading: each refusal would be a line of the move log.
    if (refusedForAWhile_ == position && refusedForAWhile())
        return;
    const bool refused =
        TurnTo(position, engine::TurnOrigin::Following) == engine::TurnOutcome::Refused;
    refusedForAWhile_ = refused && refusedForAWhile() ? std::optional(position) : std::nullopt;
}

bool RigFollower::refusedForAWhile() const {
    using Why = engine::TurnRefusal::Why;
    const std::optional<engine::TurnRefusal> refusal =
        engine_.Refuses({state_.StepCounter, engine::TurnOrigin::Following});
    return refusal && (refusal->why == Why::Transmitting || refusal->why == Why::CounterByHand);
}

engine::TurnOutcome RigFollower::TuneNow(engine::TurnOrigin origin, QString* why) {
    auto refuse = [&](const QString& text) {
        if (why)
            *why = text;
        return engine::TurnOutcome::Refused;
    };
    if (catFrequency_ == 0)
        return refuse(QStringLiteral("no frequency from the rig yet"));
    const table::Lookup lookup = table::LookUpPosition(editor_.data(), catFrequency_);
    if (!lookup.ok())
        return refuse(QStringLiteral("the table has no position for %1 kHz")
                          .arg(core::PlainNumberText(catFrequency_)));
    withinDeadBand_ = false;
    return TurnTo(lookup.position, origin);
}

void RigFollower::finish() {
    if (wheel_.function() == engine::WheelFunction::Frequency && !state_.RigFollowHalted)
        setLocked(true);
}

// --- the lock ---

void RigFollower::setLocked(bool locked) {
    if (locked && (shown_.pttOn() || search_.searching() || userUnlocked_))
        return;
    locked_ = locked;
    if (locked)
        lockEnabled_ = true;
}

void RigFollower::SetLocked(bool locked) {
    if (locked)
        userUnlocked_ = false;
    setLocked(locked);
}

bool RigFollower::followsReadings() const {
    return !userUnlocked_ && !state_.RigFollowHalted && !shown_.pttOn() && !search_.searching();
}

void RigFollower::UserUnlock() {
    userUnlocked_ = true;
    Unlock();
}

bool RigFollower::UserLock() {
    if (shown_.pttOn() || search_.searching())
        return false;
    userUnlocked_ = false;
    setLocked(true);
    Resume();
    return true;
}

void RigFollower::Unlock() {
    setLocked(false);
    calibrateEnabled_ = false;
    inputEnabled_ = true;
}

void RigFollower::Reset() {
    locked_ = false;
    userUnlocked_ = false;
    lockEnabled_ = true;
    calibrateEnabled_ = false;
    inputEnabled_ = true;
}

// --- our PTT and the peak search ---

void RigFollower::TransmitStarted() {
    setLocked(false);
    lockEnabled_ = false;
}

void RigFollower::TransmitEnded(bool portOpen) {
    lockEnabled_ = true;
    if (!portOpen || search_.searching())
        return;
    const table::Lookup lookup = table::LookUpPosition(editor_.data(), catFrequency_);
    if (lookup.ok() && lookup.position == state_.StepCounter)
        setLocked(true);
}

void RigFollower::SearchStarting() {
    // The search's result stays: following resumes when the user locks.
    userUnlocked_ = true;
    setLocked(false);
    lockEnabled_ = false;
}

void RigFollower::SearchEnded() {
    lockEnabled_ = !shown_.pttOn();
}

// --- lookups and turns ---

bool RigFollower::RangeCheck(core::Single kHz) {
    const bool out = !editor_.data().InRange(kHz);
    view_.SetInfoInterpolText(out ? QStringLiteral("Out off range!") : QString());
    return out;
}

engine::TurnOutcome RigFollower::TurnTo(core::Long p, engine::TurnOrigin origin, bool consented,
                                        const QString& detail) {
    const core::Long target = engine_.endOfTurnTo(p);
    // A slow turn already on its way there is not started again: with step delays above the
    // poll interval it would never make its next step.
    if (state_.StepCounter == target ||
        (engine_.slowTurnRunning() && state_.TargetPosition == target))
        return engine::TurnOutcome::Done;
    engine::TurnRequest request{target, origin};
    request.consented = consented;
    request.describedAs(detail);
    if (origin == engine::TurnOrigin::Following)
        request.describedAs(QStringLiteral("following %1 kHz via %2")
                                .arg(QString::number(double(catFrequency_), 'f', 1),
                                     followedLink_.isEmpty() ? rig_->rigName() : followedLink_));
    return engine_.TurnTo(request);
}

} // namespace tuning
