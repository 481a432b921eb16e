#include "tuning/TableCommands.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

#include <algorithm>
#include <cstdlib>

namespace tuning {

void TableCommands::changed() {
    emit tuning_.changed();
}

// --- frequency ---

void TableCommands::frequencyStep(int n, bool up) {
    RigTuning& t = tuning_;
    // The step would move the stepper while the dial stays.
    if (t.port().portOpen() && !t.connection().capabilities().canSetRig) {
        platform_.beep();
        return;
    }
    const int steps = n == 0 ? 1 : std::abs(n);
    const auto f = static_cast<core::Single>(t.follower().CatFrequency() +
                                             (up ? 1.0 : -1.0) * steps * state_.CatScrollSetting);
    if (!t.connection().frequencyValid(f) || !t.sendFrequency(f)) {
        platform_.beep();
        return;
    }
    if (t.follower().locked()) {
        const table::Lookup lookup = t.freqToPosition(f);
        if (lookup.ok())
            t.follower().TurnTo(lookup.position, engine::TurnOrigin::Following);
    }
    changed();
}

void TableCommands::FrequencyUp(int n) {
    if (tuning_.rigSettable())
        frequencyStep(n, true);
}

void TableCommands::FrequencyDown(int n) {
    if (tuning_.rigSettable())
        frequencyStep(n, false);
}

void TableCommands::JumpScrolled(int kHz) {
    state_.CatScrollSetting = static_cast<core::Integer>(std::clamp(kHz, JumpMinimum, JumpMaximum));
    changed();
}

// --- turning ---

void TableCommands::turnToFrequency(core::Single x, engine::TurnOrigin origin,
                                    const QString& detail) {
    RigTuning& t = tuning_;
    // Following would turn the stepper back to where the dial stays.
    if (t.port().portOpen() && !t.connection().capabilities().canSetRig) {
        if (origin == engine::TurnOrigin::Window)
            (void)t.rigSettable();
        else
            platform_.beep();
        return;
    }
    // Under transmit the user is asked (or the notch refused) before the rig is retuned.
    const engine::GateAsked asked = engine_.AskGate(origin);
    if (asked.outcome != engine::TurnOutcome::Done)
        return;
    t.follower().RangeCheck(x);
    if (t.port().portOpen()) {
        if (!t.connection().frequencyValid(x) || !t.sendFrequency(x)) {
            platform_.beep();
            return;
        }
    }
    const table::Lookup lookup = t.freqToPosition(x);
    if (lookup.ok())
        t.follower().TurnTo(lookup.position, origin, asked.consented, detail);
    else if (t.port().portOpen())
        t.follower().setLocked(false);
    changed();
}

void TableCommands::TurnToClicked(engine::TurnOrigin origin, const QString& detail) {
    // Not a replacing request: the stop comes before the rig is retuned (and the user asked),
    // also when no turn follows, and the user's own turn resumes following.
    engine_.StopTurningAndFollowing();
    tuning_.follower().Resume();
    turnToFrequency(static_cast<core::Single>(core::LeadingNumber(view_.view().InputText)), origin,
                    detail);
}

QString TableCommands::rowDetail(int row) const {
    const table::TableData& data = editor_.data();
    if (row < 1 || row > data.TableLast)
        return {};
    return QStringLiteral("table row %1 %2")
        .arg(core::PlainNumberText(data.TableFreq[row]), state_.FrequencyUnit);
}

void TableCommands::InputEntered() {
    TurnToClicked();
    if (tuning_.port().portOpen())
        tuning_.PollRig();
}

void TableCommands::RowClicked(int index) {
    view_.ClickRow(index);
    if (!tuning_.port().portOpen() && view_.view().ListIndex >= 0)
        TurnToClicked(engine::TurnOrigin::Window, rowDetail(index + 1));
}

void TableCommands::RowReleased(int index) {
    const table::TableData& data = editor_.data();
    if (tuning_.port().portOpen() && index >= 0 && index < data.TableLast)
        tuning_.SetRigFrequency(data.TableFreq[index + 1]);
    changed();
}

void TableCommands::RowStepped(int offset) {
    if (!selectRowBy(offset))
        return;
    if (tuning_.port().portOpen())
        RowReleased(view_.view().ListIndex);
    else
        TurnToClicked();
}

void TableCommands::TurnToRow(int row, engine::TurnOrigin origin, const QString& asker) {
    if (row < 1 || row > editor_.data().TableLast)
        return;
    view_.ClickRow(row - 1);
    TurnToClicked(origin, asker.isEmpty() ? rowDetail(row) : asker + u' ' + rowDetail(row));
}

bool TableCommands::setToInterpolEnabled() const {
    bool number = false;
    (void)view_.view().InterpolValueText.toLong(&number);
    return !tuning_.follower().locked() && number;
}

void TableCommands::SetCounterToInterpol() {
    if (!setToInterpolEnabled())
        return;
    engine_.StopTurningAndFollowing();
    // As a counter set by hand; a value beyond the limits sets nothing.
    if (engine_.SetCounterWithinLimits(view_.view().InterpolValueText.toLong()))
        changed();
}

// --- the table's offset at the rig's frequency ---

void TableCommands::StepperOffsetClicked() {
    const RigTuning::PollPause pause(tuning_);
    editor_.AskStepperOffset(tuning_.follower().CatFrequency());
    changed();
}

bool TableCommands::retuneEnabled() const {
    return table::LookUpPosition(editor_.data(), tuning_.follower().CatFrequency()).ok();
}

QString TableCommands::RetuneHere() {
    const QString refusal = editor_.RetuneHere(tuning_.follower().CatFrequency());
    // The value label shows the position with the new offset: the stepper's own.
    if (refusal.isEmpty())
        view_.ShowLookup(table::LookUpPosition(editor_.data(), tuning_.follower().CatFrequency()));
    changed();
    return refusal;
}

void TableCommands::RetuneHereClicked() {
    const RigTuning::PollPause pause(tuning_);
    if (const QString refusal = RetuneHere(); !refusal.isEmpty())
        platform_.messageBox(refusal, core::MessageTitle(), platform::Icon::Exclamation);
}

void TableCommands::OffsetZeroClicked() {
    const RigTuning::PollPause pause(tuning_);
    editor_.ZeroOffset();
    changed();
}

void TableCommands::OffsetBandOnlyClicked(bool on) {
    const RigTuning::PollPause pause(tuning_);
    const float kHz = tuning_.follower().CatFrequency();
    if (on && kHz == 0)
        platform_.messageBox(QStringLiteral("The rig's frequency is not known: its band "
                                            "cannot be chosen."),
                             core::MessageTitle(), platform::Icon::Exclamation);
    else
        editor_.SetOffsetBand(on ? kHz : 0);
    changed();
}

// --- the wheel ---

bool TableCommands::rigPortOpen() const {
    return tuning_.port().portOpen();
}

bool TableCommands::selectRowBy(int offset) {
    // From no selection the first row is chosen.
    const int current = view_.view().ListIndex;
    const int index = current < 0 ? 0 : current + offset;
    if (index < 0 || index >= editor_.data().TableLast)
        return false;
    view_.ClickRow(index);
    return true;
}

void TableCommands::turnToSelectedRow() {
    tuning_.follower().Resume();
    turnToFrequency(static_cast<core::Single>(core::LeadingNumber(view_.view().InputText)),
                    engine::TurnOrigin::Repeated, rowDetail(view_.view().ListIndex + 1));
}

void TableCommands::changeFrequencyJump(int delta) {
    const int value = state_.CatScrollSetting + delta;
    if (value >= JumpMinimum && value <= JumpMaximum)
        state_.CatScrollSetting = static_cast<core::Integer>(value);
    jumpRed_ = true;
    changed();
}

void TableCommands::jumpFrequency(bool up) {
    frequencyStep(1, up);
}

void TableCommands::resetJumpLabel() {
    if (!jumpRed_)
        return;
    jumpRed_ = false;
    changed();
}

} // namespace tuning
