#include "panel/StepperParams.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"

namespace panel {

using core::Long;

StepperParams::StepperParams(core::ProgramState& state, platform::Platform& platform,
                             engine::Engine& engine, SpeedPanel& speed, WindowModes& modes,
                             MainFields& fields, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), speed_(speed),
      modes_(modes), fields_(fields) {}

void StepperParams::LowSpeedClicked() {
    if (fields_.text(EntryField::SlowestDelay).isEmpty()) {
        fields_.setText(EntryField::SlowestDelay, core::NumberText(state_.SlowestDelayMs / 1000.0));
        platform_.beep();
        return;
    }
    engine_.StopTurningAndFollowing();
    const double ms = fields_.value(EntryField::SlowestDelay) * 1000.0;
    if (ms <= state_.FastestDelayMs) {
        platform_.messageBox(QStringLiteral("Minimaal ") +
                                 core::NumberText((state_.FastestDelayMs + 1) / 1000.0) +
                                 QStringLiteral(" Sec"),
                             core::MessageTitle(), platform::Icon::Exclamation);
        fields_.setText(EntryField::SlowestDelay, core::NumberText(Long{1}));
        state_.SlowestDelayMs = 1000;
    } else {
        state_.SlowestDelayMs = core::RoundToLong(ms);
        speed_.SetSpeed();
    }
    HighSpeedClicked();
}

void StepperParams::HighSpeedClicked() {
    if (fields_.text(EntryField::FastestDelay).isEmpty()) {
        fields_.setText(EntryField::FastestDelay, core::NumberText(state_.FastestDelayMs / 1000.0));
        platform_.beep();
        return;
    }
    engine_.StopTurningAndFollowing();
    const auto ms = static_cast<float>(fields_.value(EntryField::FastestDelay) * 1000.0);
    if (!(ms < static_cast<float>(state_.SlowestDelayMs) && ms >= 1.0f)) {
        platform_.messageBox(QStringLiteral("Maximaal ") +
                                 core::NumberText((state_.SlowestDelayMs - 1) / 1000.0) +
                                 QStringLiteral("Sec\r\nMinimaal .001 Sec"),
                             core::MessageTitle(), platform::Icon::Exclamation);
        fields_.setText(EntryField::FastestDelay, core::NumberText(0.001));
        state_.FastestDelayMs = 1;
        return;
    }
    state_.FastestDelayMs = core::RoundToLong(ms);
    speed_.SetSpeed();
}

void StepperParams::fitModesToLimits() {
    if (state_.ShuttleMax > state_.MaxPosition) {
        fields_.setText(EntryField::ShuttleMax, core::PlainNumberText(state_.MaxPosition));
        state_.ShuttleMax = state_.MaxPosition;
    }
    if (state_.ShuttleMin < state_.MinPosition) {
        fields_.setText(EntryField::ShuttleMin, core::PlainNumberText(state_.MinPosition));
        state_.ShuttleMin = state_.MinPosition;
    }
    const std::int64_t span = std::int64_t{state_.MaxPosition} - state_.MinPosition;
    if (state_.PulsSteps > span) {
        state_.PulsSteps = static_cast<Long>(span);
        fields_.setText(EntryField::PulsSteps, core::PlainNumberText(state_.PulsSteps));
    }
    state_.CenterPosition = static_cast<Long>(span / 2);
}

void StepperParams::MaxClicked() {
    limitClicked(true);
}

void StepperParams::MinClicked() {
    limitClicked(false);
}

void StepperParams::limitClicked(bool up) {
    const EntryField field = up ? EntryField::MaxPosition : EntryField::MinPosition;
    Long& limit = up ? state_.MaxPosition : state_.MinPosition;
    const Long old = limit;
    if (!fields_.text(field).isEmpty()) {
        engine_.StopTurningAndFollowing();
        const double value = fields_.value(field);
        if (up ? value <= state_.MinPosition : value >= state_.MaxPosition) {
            platform_.messageBox(
                up ? QStringLiteral("Minimaal %1.").arg(std::int64_t{state_.MinPosition} + 1)
                   : QStringLiteral("Maximaal %1.").arg(std::int64_t{state_.MaxPosition} - 1),
                core::MessageTitle(), platform::Icon::Exclamation);
        } else {
            limit = core::RoundToLong(value);
            // A limit moved past the counter takes the counter along, not the stepper.
            if (up ? old > limit && state_.StepCounter > limit
                   : old < limit && state_.StepCounter < limit) {
                platform_.messageBox(
                    up ? QStringLiteral("Warning I set counter to max but not the stepper.")
                       : QStringLiteral("Warning I set counter to min value but not the stepper"),
                    core::MessageTitle(), platform::Icon::Exclamation);
                engine_.SetCounter(limit, up ? state_.OverlaySteps : 0);
            }
            engine_.LimitsOrScaleChanged();
        }
    }
    fields_.setText(field, core::PlainNumberText(limit));
    fitModesToLimits();
    emit limitsChanged();
    if (limit != old)
        emit limitsOrScaleSet();
    fields_.setKeyPreview(true);
}

void StepperParams::StepsClicked() {
    if (fields_.text(EntryField::StepsPer360).isEmpty()) {
        fields_.setText(EntryField::StepsPer360, core::PlainNumberText(state_.StepsPer360));
        return;
    }
    engine_.StopTurningAndFollowing();
    const core::Single old = state_.StepsPer360;
    state_.StepsPer360 = static_cast<core::Single>(fields_.value(EntryField::StepsPer360));
    if (state_.StepsPer360 <= 1) {
        emit pelorusOff();
        emit pulsShuttleTextChanged(QStringLiteral("???"));
    }
    engine_.LimitsOrScaleChanged();
    speed_.ShowSpeed();
    fields_.setKeyPreview(true);
    if (state_.StepsPer360 != old)
        emit limitsOrScaleSet();
}

bool StepperParams::SlowLimit() {
    if (state_.StepDelayMs <= 1000 && state_.SlowestDelayMs <= 1000)
        return false;
    const auto answer =
        platform_.messageBox(QStringLiteral("Set LowSpeed on 1 Sec ? "), core::MessageTitle(),
                             platform::Icon::Information, platform::Buttons::YesNo);
    if (answer == platform::Answer::Yes) {
        fields_.setText(EntryField::SlowestDelay, QStringLiteral("1"));
        LowSpeedClicked();
        HighSpeedClicked();
        return false;
    }
    modes_.modes().shuttleOn = false;
    modes_.modes().pulsOn = false;
    modes_.ModesChanged();
    return true;
}

} // namespace panel
