// The table window's commands on automatic tuning: frequency steps, turns to a frequency or a
// row, the PTT and the modes, and the S-meter peak search.
#include "core/TextRules.h"
#include "rig/RigCaps.h"
#include "rig/RigTuning.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace rig {

namespace {

// Positions below and above the present one that the peak search visits.
constexpr core::Long SearchBelow = 15;
constexpr core::Long SearchAbove = 14;
// Time for the rig's S-meter to settle at each position, in ms.
constexpr double SampleSettleMs = 200;
// Longest wait for an S-meter reading, in ms.
constexpr double SMeterReplyLimitMs = 2000;

} // namespace

// --- frequency ---

bool RigTuning::sendFrequency(core::Single kHz) {
    if (open_) {
        const CatResult sent = rig_->setFrequency(kHz);
        if (sent != CatResult::Sent && sent != CatResult::NotSent)
            return false;
    }
    // The frequency last read from or sent to the rig; a reading that agrees is followed.
    rig_->showFrequency(kHz);
    catFrequency_ = kHz;
    lastReadKHz_ = kHz;
    return true;
}

void RigTuning::SetRigFrequency(core::Single kHz) {
    // A link that only listens keeps the rig where its dial is.
    if (!open_ || !rig_->canSetRig())
        return;
    if (!rig_->frequencyValid(kHz)) {
        platform_.beep();
        return;
    }
    (void)sendFrequency(kHz);
}

void RigTuning::frequencyStep(int n, bool up) {
    // The step would move the stepper while the dial stays.
    if (open_ && !rig_->canSetRig()) {
        platform_.beep();
        return;
    }
    const int steps = n == 0 ? 1 : std::abs(n);
    const auto f = static_cast<core::Single>(catFrequency_ +
                                             (up ? 1.0 : -1.0) * steps * state_.CatScrollSetting);
    if (!rig_->frequencyValid(f) || !sendFrequency(f)) {
        platform_.beep();
        return;
    }
    if (locked_) {
        const table::Lookup lookup = freqToPosition(f);
        if (lookup.ok())
            turnTo(lookup.position, engine::TurnOrigin::Following);
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

void RigTuning::turnToFrequency(core::Single x, engine::TurnOrigin origin) {
    // Following would turn the stepper back to where the dial stays.
    if (open_ && !rig_->canSetRig()) {
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
    rangeCheck(x);
    if (open_) {
        if (!rig_->frequencyValid(x) || !sendFrequency(x)) {
            platform_.beep();
            return;
        }
    }
    const table::Lookup lookup = freqToPosition(x);
    if (lookup.ok())
        turnTo(lookup.position, origin, consented);
    else if (open_)
        setLocked(false);
    emit changed();
}

void RigTuning::TurnToClicked(engine::TurnOrigin origin) {
    engine_.StopTurning();
    state_.RigFollowHalted = false;
    turnToFrequency(static_cast<core::Single>(core::LeadingNumber(view_.view().InputText)),
                    origin);
}

void RigTuning::InputEntered() {
    TurnToClicked();
    if (open_)
        PollRig();
}

void RigTuning::RowClicked(int index) {
    view_.ClickRow(index);
    if (!open_ && view_.view().ListIndex >= 0)
        TurnToClicked();
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

void RigTuning::TurnToRow(int row, engine::TurnOrigin origin) {
    if (row < 1 || row > editor_.data().TableLast)
        return;
    view_.ClickRow(row - 1);
    TurnToClicked(origin);
}

bool RigTuning::setToInterpolEnabled() const {
    bool number = false;
    (void)view_.view().InterpolValueText.toLong(&number);
    return !locked_ && number;
}

void RigTuning::SetCounterToInterpol() {
    if (!setToInterpolEnabled())
        return;
    const core::Long value = view_.view().InterpolValueText.toLong();
    if (value < state_.MinPosition || value > state_.MaxPosition)
        return;
    engine_.StopTurning();
    // As a counter set by hand: the overlay counts as taken when the counter goes up.
    engine_.SetCounter(value,
                       state_.OverlayOn && value > state_.StepCounter ? state_.OverlaySteps : 0);
    engine_.coil().WritePositionCode();
    emit changed();
}

void RigTuning::StepperOffsetClicked() {
    const PollPause pause(*this);
    editor_.AskStepperOffset(catFrequency_);
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
    state_.RigFollowHalted = false;
    turnToFrequency(static_cast<core::Single>(core::LeadingNumber(view_.view().InputText)),
                    engine::TurnOrigin::Repeated);
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

QString RigTuning::PttToolTip() const {
    return QStringLiteral("Toggle PTT Watch Dog =") + core::NumberText(PttWatchdogMs / 1000) +
           QStringLiteral(" Sec.");
}

void RigTuning::PttToggle(bool forceOff) {
    if (rig_->pttOn() || forceOff) {
        // Released before anything that can fail or take time.
        (void)rig_->setPtt(false);
        watchdog_->stop();
        lockEnabled_ = true;
        if (open_ && !searching_) {
            const table::Lookup lookup = table::LookUpPosition(editor_.data(), catFrequency_);
            if (lookup.ok() && lookup.position == state_.StepCounter)
                setLocked(true);
        }
        if (pttModeChanged_) {
            pttModeChanged_ = false;
            if (const double ms = Caps(ToModel(state_.RigModel)).modeAfterPttMs; ms > 0)
                platform_.waitMs(ms, false);
            (void)rig_->setMode(pttSavedMode_);
        }
    } else {
        if (!open_) {
            platform_.beep();
            return;
        }
        if (!rigSettable())
            return;
        pttSavedMode_ = rig_->modeIndex();
        pttModeChanged_ = false;
        if (amPtt_) {
            const QStringList names = rig_->modeNames();
            const auto am = std::find_if(names.begin(), names.end(), [](const QString& name) {
                return name.contains(QStringLiteral("AM"), Qt::CaseInsensitive);
            });
            const int index = am == names.end() ? 0 : int(am - names.begin()) + 1;
            if (index > 0 && index != pttSavedMode_)
                pttModeChanged_ = rig_->setMode(index) == CatResult::Sent;
        }
        // No tuning while transmitting.
        setLocked(false);
        lockEnabled_ = false;
        watchdog_->start(PttWatchdogMs);
        (void)rig_->setPtt(true);
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

bool RigTuning::searchGoesOn() const {
    return searching_ && !searchStopped_ && open_ && !rig_->pttOn();
}

void RigTuning::StopPeakSearch() {
    if (searching_)
        searchStopped_ = true;
}

std::optional<float> RigTuning::readSMeter() {
    sMeterReply_.reset();
    sMeterAwaited_ = true;
    if (!rig_->requestSMeter()) {
        sMeterAwaited_ = false;
        return std::nullopt;
    }
    const double deadline = platform_.steadyMs() + SMeterReplyLimitMs;
    while (sMeterAwaited_ && open_ && platform_.steadyMs() < deadline)
        platform_.waitMs(10, true);
    sMeterAwaited_ = false;
    return sMeterReply_;
}

void RigTuning::sMeterArrived(std::optional<float> value) {
    if (!sMeterAwaited_)
        return;
    sMeterAwaited_ = false;
    sMeterReply_ = value;
}

void RigTuning::PeakSearchClicked() {
    if (searching_) {
        StopPeakSearch();
        return;
    }
    if (!open_)
        return;
    if (rig_->pttOn()) {
        platform_.beep();
        return;
    }
    // The search's result stays: following resumes when the user locks.
    userUnlocked_ = true;
    setLocked(false);
    lockEnabled_ = false;
    searching_ = true;
    searchStopped_ = false;
    updatePollTimer();
    searchCaption_ = QStringLiteral("Works now");
    emit changed();

    const core::Long start = state_.StepCounter;
    const core::Long from = std::max<core::Long>(state_.MinPosition, start - SearchBelow);
    const core::Long to = std::min<core::Long>(state_.MaxPosition, start + SearchAbove);
    std::vector<std::pair<core::Long, float>> samples;
    int sample = 0;
    for (core::Long position = from; position <= to && searchGoesOn(); ++position, ++sample) {
        // The rig transmitting ends the search where the stepper stands.
        if (engine_.TurnTo({position, engine::TurnOrigin::Search}) != engine::TurnOutcome::Done)
            searchStopped_ = true;
        if (!searchGoesOn())
            break;
        platform_.waitMs(SampleSettleMs, true);
        if (!searchGoesOn())
            break;
        const std::optional<float> value = readSMeter();
        if (value)
            samples.emplace_back(position, *value);
        searchCaption_ = core::PlainNumberText(sample) + QStringLiteral(" x S-meter = ") +
                         core::NumberText(value.value_or(0));
        emit changed();
    }
    // Stopped (Esc, the port closed, our PTT on): the stepper stays where it is. Otherwise it
    // goes to the loudest position, the later one of equals; flat readings (no S-meter, a
    // quiet band, failed reads) tell nothing, and it goes back to where it began.
    if (searchGoesOn()) {
        // minmax_element gives the last of equal largest elements.
        const auto [quietest, loudest] =
            std::minmax_element(samples.begin(), samples.end(),
                                [](const auto& a, const auto& b) { return a.second < b.second; });
        const bool flat = samples.empty() || quietest->second == loudest->second;
        engine_.TurnTo({flat ? start : loudest->first, engine::TurnOrigin::Search});
    }
    searching_ = false;
    searchStopped_ = false;
    lockEnabled_ = !rig_->pttOn();
    searchCaption_ = QStringLiteral("&S-Meter calibreren");
    rig_->resetSMeter();
    updatePollTimer();
    emit changed();
}

} // namespace rig
