#include "panel/ShuttlePuls.h"

#include "core/Degrees.h"
#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "panel/ManualTurnSupport.h"

namespace panel {

using core::Long;

ShuttlePuls::ShuttlePuls(core::ProgramState& state, platform::Platform& platform,
                         engine::Engine& engine, WindowModes& modes, MainFields& fields,
                         StepperParams& params, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), modes_(modes),
      fields_(fields), params_(params) {}

void ShuttlePuls::FieldEdited(EntryField field) {
    if (field == EntryField::ShuttleMin || field == EntryField::ShuttleMax)
        engine_.StopTurningAndFollowing();
}

QString ShuttlePuls::DegreeText(const core::ProgramState& state, std::int64_t steps) {
    if (state.StepsPer360 <= 1)
        return QStringLiteral("??? °");
    const double degrees = core::StepsToDegrees(steps, state.DegreesPerStep);
    return core::NumberText(static_cast<float>(degrees)) + QStringLiteral(" °");
}

void ShuttlePuls::showTime() {
    emit timeChanged(TimeLabelText(platform_));
}

void ShuttlePuls::resetShuttleFields() {
    fields_.setText(EntryField::ShuttleMin, core::PlainNumberText(state_.MinPosition));
    fields_.setText(EntryField::ShuttleMax, core::PlainNumberText(state_.MaxPosition));
    state_.ShuttleMin = state_.MinPosition;
    state_.ShuttleMax = state_.MaxPosition;
}

void ShuttlePuls::ShuttleClicked() {
    fields_.setKeyPreview(true);
    engine::TurningModes& modes = modes_.modes();
    const bool wasOn = modes.shuttleOn;
    modes.shuttleOn = !wasOn;
    modes_.ModesChanged();
    engine_.StopTurningAndFollowing();
    if (wasOn)
        return;

    if (fields_.text(EntryField::ShuttleMin).isEmpty() ||
        fields_.text(EntryField::ShuttleMax).isEmpty()) {
        platform_.messageBox(QStringLiteral("Min or max shuttle are value's empty"),
                             core::MessageTitle(), platform::Icon::Exclamation);
        resetShuttleFields();
        return;
    }
    state_.ShuttleMin = core::RoundToLong(fields_.value(EntryField::ShuttleMin));
    state_.ShuttleMax = core::RoundToLong(fields_.value(EntryField::ShuttleMax));
    const bool valid =
        state_.ShuttleMax > state_.MinPosition && state_.ShuttleMax <= state_.MaxPosition &&
        state_.ShuttleMin < state_.MaxPosition && state_.ShuttleMin >= state_.MinPosition &&
        state_.ShuttleMax > state_.ShuttleMin;
    if (!valid) {
        platform_.messageBox(
            QStringLiteral("Out of Min and Max shuttle range\r\nOr ShuttleMin >= ShuttleMax"),
            core::AppTitle, platform::Icon::Information);
        resetShuttleFields();
        return;
    }
    if (params_.SlowLimit())
        return;
    emit pulsShuttleTextChanged(
        DegreeText(state_, std::int64_t{state_.ShuttleMax} - state_.ShuttleMin));
    modes.shuttleOn = true;
    modes_.ModesChanged();
    Shuttle();
}

bool ShuttlePuls::turnWhileOn(Long target, bool engine::TurningModes::*mode) {
    const double start = platform_.steadyMs();
    // The rig transmitting ends the mode (with a beep when it refused the swing).
    if (engine_.TurnTo({target, engine::TurnOrigin::Repeated}) != engine::TurnOutcome::Done) {
        modes_.modes().*mode = false;
        modes_.ModesChanged();
        return false;
    }
    SettleAfterTurn(engine_, platform_, start, [&] { return modes_.modes().*mode; });
    return modes_.modes().*mode;
}

void ShuttlePuls::Shuttle() {
    fields_.setKeyPreview(false);
    LockPulsShuttle();
    const Long middle = OffsetPosition(state_.ShuttleMin,
                                       (std::int64_t{state_.ShuttleMax} - state_.ShuttleMin) / 2);
    // A stop during the way to the middle ends the mode, like a stop at any later turn.
    if (turnWhileOn(middle, &engine::TurningModes::shuttleOn)) {
        for (;;) {
            showTime();
            if (!turnWhileOn(state_.ShuttleMin, &engine::TurningModes::shuttleOn))
                break;
            showTime();
            if (!turnWhileOn(state_.ShuttleMax, &engine::TurningModes::shuttleOn))
                break;
        }
        showTime();
    }
    LockPulsShuttle();
}

void ShuttlePuls::PulsClicked() {
    fields_.setKeyPreview(true);
    engine::TurningModes& modes = modes_.modes();
    const bool starting = !modes.pulsOn;
    modes.pulsOn = starting;
    modes_.ModesChanged();
    engine_.StopTurningAndFollowing();

    state_.PulsSteps = core::RoundToLong(fields_.value(EntryField::PulsSteps));
    state_.PulsTime = static_cast<core::Single>(fields_.value(EntryField::PulsPause));
    const bool valid = state_.PulsTime != 0 && state_.PulsSteps != 0 &&
                       state_.PulsSteps <= state_.MaxPosition && state_.PulsTime <= 120;
    if (!valid) {
        platform_.messageBox(QStringLiteral("Out off range PulsSteps(") +
                                 core::PlainNumberText(state_.MaxPosition) +
                                 QStringLiteral(") or PulsTime(120) "),
                             core::MessageTitle(), platform::Icon::Exclamation);
        if (state_.PulsSteps == 0 || state_.PulsSteps > state_.MaxPosition) {
            fields_.setText(EntryField::PulsSteps, core::PlainNumberText(state_.MaxPosition));
            state_.PulsSteps = state_.MaxPosition;
        }
        if (state_.PulsTime == 0 || state_.PulsTime > 30) {
            fields_.setText(EntryField::PulsPause, QStringLiteral("5"));
            state_.PulsTime = 5;
        }
        return;
    }
    if (params_.SlowLimit())
        return;
    emit pulsShuttleTextChanged(DegreeText(state_, state_.PulsSteps));
    if (starting) {
        modes.pulsOn = true;
        modes_.ModesChanged();
        PulsLoop();
    }
}

void ShuttlePuls::PulsLoop() {
    LockPulsShuttle();
    bool down = state_.StepCounter > state_.MinPosition;
    auto on = [this] { return modes_.modes().pulsOn; };
    while (on()) {
        if (state_.StepCounter == state_.MaxPosition)
            down = true;
        if (state_.StepCounter == state_.MinPosition)
            down = false;
        const Long target =
            OffsetPosition(state_.StepCounter,
                           down ? -std::int64_t{state_.PulsSteps} : std::int64_t{state_.PulsSteps});
        showTime();
        if (!turnWhileOn(target, &engine::TurningModes::pulsOn))
            break;
        // The pause runs on the steady clock, so it lasts PulsTime also across midnight.
        const double pauseEnd = platform_.steadyMs() + state_.PulsTime * 1000.0;
        while (on() && platform_.steadyMs() < pauseEnd)
            platform_.waitUntil(std::min(pauseEnd, platform_.steadyMs() + 50.0), true);
    }
    LockPulsShuttle();
}

void ShuttlePuls::LockPulsShuttle() {
    const engine::TurningModes& modes = modes_.modes();
    auto lock = [this](std::initializer_list<EntryField> fields, bool locked) {
        for (const EntryField field : fields)
            fields_.setLocked(field, locked);
    };
    emit modeButtonsEnabled(!modes.pulsOn || modes.shuttleOn, !modes.shuttleOn);
    const bool running = modes.shuttleOn || modes.pulsOn;
    lock({EntryField::GotoStep, EntryField::GotoDegrees}, running);
    lock({EntryField::ShuttleMin, EntryField::ShuttleMax}, modes.shuttleOn);
    lock({EntryField::PulsSteps, EntryField::PulsPause}, !modes.shuttleOn && modes.pulsOn);
    emit turnButtonsEnabled(!running);
    if (!running)
        fields_.setKeyPreview(true);
}

} // namespace panel
