// The table window's commands on automatic tuning: frequency steps, turns to a frequency or a
// row, the PTT and the modes, and starting the S-meter peak search.
#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

#include <algorithm>
#include <cstdlib>

namespace tuning {

// --- frequency ---

bool RigTuning::sendFrequency(core::Single kHz) {
    if (open_) {
        const rig::CatResult sent = rig_->setFrequency(kHz);
        if (sent != rig::CatResult::Sent && sent != rig::CatResult::NotSent)
            return false;
        announcements_.Sent(kHz);
    }
    // The frequency last read from or sent to the rig; a reading that agrees is followed.
    shown_.showFrequency(kHz);
    follower_.Sent(kHz);
    return true;
}

void RigTuning::SetRigFrequency(core::Single kHz) {
    // A link that only listens keeps the rig where its dial is.
    if (!open_ || !rig_->capabilities().canSetRig)
        return;
    if (!rig_->frequencyValid(kHz)) {
        platform_.beep();
        return;
    }
    (void)sendFrequency(kHz);
}

void RigTuning::frequencyStep(int n, bool up) {
    // The step would move the stepper while the dial stays.
    if (open_ && !rig_->capabilities().canSetRig) {
        platform_.beep();
        return;
    }
    const int steps = n == 0 ? 1 : std::abs(n);
    const auto f = static_cast<core::Single>(follower_.CatFrequency() +
                                             (up ? 1.0 : -1.0) * steps * state_.CatScrollSetting);
    if (!rig_->frequencyValid(f) || !sendFrequency(f)) {
        platform_.beep();
        return;
    }
    if (follower_.locked()) {
        const table::Lookup lookup = freqToPosition(f);
        if (lookup.ok())
            follower_.TurnTo(lookup.position, engine::TurnOrigin::Following);
    }
    emit changed();
}

void RigTuning::FrequencyUp(int n) {
    if (rigSettable())
        frequencyStep(n, true);
}

void RigTuning::FrequencyDown(int n) {
    if (rigSettable())
        frequencyStep(n, false);
}

void RigTuning::JumpScrolled(int kHz) {
    state_.CatScrollSetting = static_cast<core::Integer>(std::clamp(kHz, JumpMinimum, JumpMaximum));
    emit changed();
}

// --- turning ---

void RigTuning::turnToFrequency(core::Single x, engine::TurnOrigin origin, const QString& detail) {
    // Following would turn the stepper back to where the dial stays.
    if (open_ && !rig_->capabilities().canSetRig) {
        if (origin == engine::TurnOrigin::Window)
            (void)rigSettable();
        else
            platform_.beep();
        return;
    }
    // Under transmit the user is asked (or the notch refused) before the rig is retuned.
    if (engine_.AskGate(origin) != engine::TurnOutcome::Done)
        return;
    const bool consented = transmitting();
    follower_.RangeCheck(x);
    if (open_) {
        if (!rig_->frequencyValid(x) || !sendFrequency(x)) {
            platform_.beep();
            return;
        }
    }
    const table::Lookup lookup = freqToPosition(x);
    if (lookup.ok())
        follower_.TurnTo(lookup.position, origin, consented, detail);
    else if (open_)
        follower_.setLocked(false);
    emit changed();
}

void RigTuning::TurnToClicked(engine::TurnOrigin origin, const QString& detail) {
    engine_.StopTurningAndFollowing();
    follower_.Resume();
    turnToFrequency(static_cast<core::Single>(core::LeadingNumber(view_.view().InputText)), origin,
                    detail);
}

QString RigTuning::rowDetail(int row) const {
    if (row < 1 || row > editor_.data().TableLast)
        return {};
    return QStringLiteral("table row %1 %2")
        .arg(core::PlainNumberText(editor_.data().TableFreq[row]), state_.FrequencyUnit);
}

void RigTuning::InputEntered() {
    TurnToClicked();
    if (open_)
        PollRig();
}

void RigTuning::RowClicked(int index) {
    view_.ClickRow(index);
    if (!open_ && view_.view().ListIndex >= 0)
        TurnToClicked(engine::TurnOrigin::Window, rowDetail(index + 1));
}

void RigTuning::RowReleased(int index) {
    const table::TableData& data = editor_.data();
    if (open_ && index >= 0 && index < data.TableLast)
        SetRigFrequency(data.TableFreq[index + 1]);
    emit changed();
}

void RigTuning::RowStepped(int offset) {
    if (!selectRowBy(offset))
        return;
    if (open_)
        RowReleased(view_.view().ListIndex);
    else
        TurnToClicked();
}

void RigTuning::TurnToRow(int row, engine::TurnOrigin origin, const QString& asker) {
    if (row < 1 || row > editor_.data().TableLast)
        return;
    view_.ClickRow(row - 1);
    TurnToClicked(origin, asker.isEmpty() ? rowDetail(row) : asker + u' ' + rowDetail(row));
}

bool RigTuning::setToInterpolEnabled() const {
    bool number = false;
    (void)view_.view().InterpolValueText.toLong(&number);
    return !follower_.locked() && number;
}

void RigTuning::SetCounterToInterpol() {
    if (!setToInterpolEnabled())
        return;
    engine_.StopTurningAndFollowing();
    // As a counter set by hand; a value beyond the limits sets nothing.
    if (engine_.SetCounterWithinLimits(view_.view().InterpolValueText.toLong()))
        emit changed();
}

void RigTuning::StepperOffsetClicked() {
    const PollPause pause(*this);
    editor_.AskStepperOffset(follower_.CatFrequency());
    emit changed();
}

bool RigTuning::retuneEnabled() const {
    return table::LookUpPosition(editor_.data(), follower_.CatFrequency()).ok();
}

QString RigTuning::RetuneHere() {
    const QString refusal = editor_.RetuneHere(follower_.CatFrequency());
    // The value label shows the position with the new offset: the stepper's own.
    if (refusal.isEmpty())
        view_.ShowLookup(table::LookUpPosition(editor_.data(), follower_.CatFrequency()));
    emit changed();
    return refusal;
}

void RigTuning::RetuneHereClicked() {
    const PollPause pause(*this);
    if (const QString refusal = RetuneHere(); !refusal.isEmpty())
        platform_.messageBox(refusal, core::MessageTitle(), platform::Icon::Exclamation);
}

void RigTuning::OffsetZeroClicked() {
    const PollPause pause(*this);
    editor_.ZeroOffset();
    emit changed();
}

void RigTuning::OffsetBandOnlyClicked(bool on) {
    const PollPause pause(*this);
    if (on && follower_.CatFrequency() == 0)
        platform_.messageBox(QStringLiteral("The rig's frequency is not known: its band cannot "
                                            "be chosen."),
                             core::MessageTitle(), platform::Icon::Exclamation);
    else
        editor_.SetOffsetBand(on ? follower_.CatFrequency() : 0);
    emit changed();
}

// --- the wheel ---

bool RigTuning::selectRowBy(int offset) {
    // From no selection the first row is chosen.
    const int current = view_.view().ListIndex;
    const int index = current < 0 ? 0 : current + offset;
    if (index < 0 || index >= editor_.data().TableLast)
        return false;
    view_.ClickRow(index);
    return true;
}

void RigTuning::turnToSelectedRow() {
    follower_.Resume();
    turnToFrequency(static_cast<core::Single>(core::LeadingNumber(view_.view().InputText)),
                    engine::TurnOrigin::Repeated, rowDetail(view_.view().ListIndex + 1));
}

void RigTuning::changeFrequencyJump(int delta) {
    const int value = state_.CatScrollSetting + delta;
    if (value >= JumpMinimum && value <= JumpMaximum)
        state_.CatScrollSetting = static_cast<core::Integer>(value);
    jumpRed_ = true;
    emit changed();
}

void RigTuning::jumpFrequency(bool up) {
    frequencyStep(1, up);
}

void RigTuning::resetJumpLabel() {
    if (!jumpRed_)
        return;
    jumpRed_ = false;
    emit changed();
}

// --- PTT and modes ---

void RigTuning::PttToggle(bool forceOff) {
    // The tune owns the PTT while it runs: the button ends it, unkeyed.
    if (swr_.running()) {
        swr_.Stop();
        emit changed();
        return;
    }
    if (shown_.pttOn() || forceOff) {
        ptt_.Release(*rig_);
        follower_.TransmitEnded(open_);
    } else {
        if (!open_) {
            platform_.beep();
            return;
        }
        if (!rigSettable())
            return;
        // No tuning while transmitting.
        follower_.TransmitStarted();
        if (!ptt_.Key(*rig_)) {
            // The link did not key the rig (its daemon or line not connected): the lock is back
            // at once, not with the watchdog.
            follower_.TransmitEnded(open_);
            platform_.beep();
        }
    }
    emit changed();
}

void RigTuning::ModeClicked(int index) {
    if (!rigSettable())
        return;
    (void)rig_->setMode(index);
    emit changed();
}

void RigTuning::PowerClicked() {
    rig_->togglePower();
    emit changed();
}

// --- S-meter peak search ---

void RigTuning::PeakSearchClicked() {
    if (search_.searching()) {
        search_.Stop();
        return;
    }
    if (!open_ || swr_.running())
        return;
    if (shown_.pttOn()) {
        platform_.beep();
        return;
    }
    follower_.SearchStarting();
    search_.Run(*rig_);
    follower_.SearchEnded();
    emit changed();
}

} // namespace tuning
