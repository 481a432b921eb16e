#include "engine/StepperParams.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"

namespace engine {

using core::Long;

StepperParams::StepperParams(core::ProgramState& state, platform::Platform& platform,
                             Engine& engine, PanelView& view)
    : state_(state), platform_(platform), engine_(engine), view_(view) {}

double StepperParams::fieldValue(EntryField field) const {
    return core::LeadingNumber(view_.fieldText(field));
}

void StepperParams::LowSpeedClicked() {
    if (view_.fieldText(EntryField::Text5).isEmpty()) {
        view_.setFieldText(EntryField::Text5, core::NumberText(state_.SlowestDelayMs / 1000.0));
        platform_.beep();
        return;
    }
    engine_.StopTurning();
    const double ms = fieldValue(EntryField::Text5) * 1000.0;
    if (ms <= state_.FastestDelayMs) {
        platform_.messageBox(QStringLiteral("Minimaal ") +
                                 core::NumberText((state_.FastestDelayMs + 1) / 1000.0) +
                                 QStringLiteral(" Sec"),
                             core::MessageTitle(), platform::Icon::Exclamation);
        view_.setFieldText(EntryField::Text5, core::NumberText(Long{1}));
        state_.SlowestDelayMs = 1000;
    } else {
        state_.SlowestDelayMs = core::RoundToLong(ms);
        engine_.SetSpeed();
    }
    HighSpeedClicked();
}

void StepperParams::HighSpeedClicked() {
    if (view_.fieldText(EntryField::Text6).isEmpty()) {
        view_.setFieldText(EntryField::Text6, core::NumberText(state_.FastestDelayMs / 1000.0));
        platform_.beep();
        return;
    }
    engine_.StopTurning();
    const auto ms = static_cast<float>(fieldValue(EntryField::Text6) * 1000.0);
    if (!(ms < static_cast<float>(state_.SlowestDelayMs) && ms >= 1.0f)) {
        platform_.messageBox(QStringLiteral("Maximaal ") +
                                 core::NumberText((state_.SlowestDelayMs - 1) / 1000.0) +
                                 QStringLiteral("Sec\r\nMinimaal .001 Sec"),
                             core::MessageTitle(), platform::Icon::Exclamation);
        view_.setFieldText(EntryField::Text6, core::NumberText(0.001));
        state_.FastestDelayMs = 1;
        return;
    }
    state_.FastestDelayMs = core::RoundToLong(ms);
    engine_.SetSpeed();
}

void StepperParams::SliderRangeRefresh() {
    state_.TargetPosition = state_.StepCounter;
    view_.sliderRangeChanged();
}

void StepperParams::fitModesToLimits() {
    if (state_.ShuttleMax > state_.MaxPosition) {
        view_.setFieldText(EntryField::Text9, core::PlainNumberText(state_.MaxPosition));
        state_.ShuttleMax = state_.MaxPosition;
    }
    if (state_.ShuttleMin < state_.MinPosition) {
        view_.setFieldText(EntryField::Text8, core::PlainNumberText(state_.MinPosition));
        state_.ShuttleMin = state_.MinPosition;
    }
    const std::int64_t span = std::int64_t{state_.MaxPosition} - state_.MinPosition;
    if (state_.PulsSteps > span) {
        state_.PulsSteps = static_cast<Long>(span);
        view_.setFieldText(EntryField::Text10, core::PlainNumberText(state_.PulsSteps));
    }
    state_.CenterPosition = static_cast<Long>(span / 2);
}

void StepperParams::MaxClicked() {
    const Long oldMax = state_.MaxPosition;
    if (view_.fieldText(EntryField::Text1).isEmpty()) {
        view_.setFieldText(EntryField::Text1, core::PlainNumberText(state_.MaxPosition));
    } else {
        engine_.StopTurning();
        const double value = fieldValue(EntryField::Text1);
        if (value <= state_.MinPosition) {
            platform_.messageBox(
                QStringLiteral("Minimaal %1.").arg(std::int64_t{state_.MinPosition} + 1),
                core::MessageTitle(), platform::Icon::Exclamation);
            view_.setFieldText(EntryField::Text1, core::PlainNumberText(state_.MaxPosition));
        } else {
            state_.MaxPosition = core::RoundToLong(value);
            view_.setFieldText(EntryField::Text1, core::PlainNumberText(state_.MaxPosition));
            if (oldMax > state_.MaxPosition && state_.StepCounter > state_.MaxPosition) {
                platform_.messageBox(
                    QStringLiteral("Warning I set counter to max but not the stepper."),
                    core::MessageTitle(), platform::Icon::Exclamation);
                state_.StepCounter = state_.MaxPosition;
                state_.OverlayPosition = state_.OverlaySteps;
                engine_.ShowPosition();
            }
            SliderRangeRefresh();
        }
    }
    fitModesToLimits();
    view_.setMaxTurnToolTip(QStringLiteral("Clock wise turning to") +
                            core::NumberText(state_.MaxPosition) + QLatin1Char('.'));
    view_.setKeyPreview(true);
}

void StepperParams::MinClicked() {
    const Long oldMin = state_.MinPosition;
    if (view_.fieldText(EntryField::Text2).isEmpty()) {
        view_.setFieldText(EntryField::Text2, core::PlainNumberText(state_.MinPosition));
    } else {
        engine_.StopTurning();
        const double value = fieldValue(EntryField::Text2);
        if (value >= state_.MaxPosition) {
            platform_.messageBox(
                QStringLiteral("Maximaal %1.").arg(std::int64_t{state_.MaxPosition} - 1),
                core::MessageTitle(), platform::Icon::Exclamation);
            view_.setFieldText(EntryField::Text2, core::PlainNumberText(state_.MinPosition));
        } else {
            state_.MinPosition = core::RoundToLong(value);
            view_.setFieldText(EntryField::Text2, core::PlainNumberText(state_.MinPosition));
            if (oldMin < state_.MinPosition && state_.StepCounter < state_.MinPosition) {
                platform_.messageBox(
                    QStringLiteral("Warning I set counter to min value but not the stepper"),
                    core::MessageTitle(), platform::Icon::Exclamation);
                state_.StepCounter = state_.MinPosition;
                state_.OverlayPosition = 0;
                engine_.ShowPosition();
            }
            SliderRangeRefresh();
        }
    }
    fitModesToLimits();
    view_.setMinTurnToolTip(QStringLiteral("Counter clock wise turning to") +
                            core::NumberText(state_.MinPosition) + QLatin1Char('.'));
    view_.setKeyPreview(true);
}

void StepperParams::StepsClicked() {
    if (view_.fieldText(EntryField::Text4).isEmpty()) {
        view_.setFieldText(EntryField::Text4, core::PlainNumberText(state_.StepsPer360));
        return;
    }
    engine_.StopTurning();
    state_.StepsPer360 = static_cast<core::Single>(fieldValue(EntryField::Text4));
    if (state_.StepsPer360 <= 1) {
        view_.pelorusOff();
        view_.setPulsShuttleText(QStringLiteral("???"));
    }
    engine_.UpdateDegreesPerStep();
    engine_.ShowDegrees();
    engine_.ShowSpeed();
    view_.setKeyPreview(true);
}

bool StepperParams::SlowLimit() {
    if (state_.StepDelayMs <= 1000 && state_.SlowestDelayMs <= 1000)
        return false;
    const auto answer =
        platform_.messageBox(QStringLiteral("Set LowSpeed on 1 Sec ? "), core::MessageTitle(),
                             platform::Icon::Information, platform::Buttons::YesNo);
    if (answer == platform::Answer::Yes) {
        view_.setFieldText(EntryField::Text5, QStringLiteral("1"));
        LowSpeedClicked();
        HighSpeedClicked();
        return false;
    }
    engine_.modes().shuttleOn = false;
    engine_.modes().pulsOn = false;
    engine_.ModesChanged();
    return true;
}

} // namespace engine
