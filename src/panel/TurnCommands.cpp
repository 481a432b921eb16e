#include "panel/TurnCommands.h"

#include "core/Degrees.h"
#include "core/TextRules.h"

#include <algorithm>
#include <limits>

namespace panel {

using core::Long;

namespace {

QString MaxToolTip(Long max) {
    return QStringLiteral("Clock wise turning to") + core::NumberText(max) + QLatin1Char('.');
}

QString MinToolTip(Long min) {
    return QStringLiteral("Counter clock wise turning to") + core::NumberText(min) +
           QLatin1Char('.');
}

} // namespace

TurnCommands::TurnCommands(core::ProgramState& state, platform::Platform& platform,
                           engine::Engine& engine, SpeedPanel& speed, WindowModes& modes,
                           MainFields& fields, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), speed_(speed),
      modes_(modes), fields_(fields) {}

void TurnCommands::showGotoStep(Long step) {
    state_.GotoStepValue = step;
    fields_.setText(EntryField::GotoStep, core::PlainNumberText(step));
}

void TurnCommands::FieldEdited(EntryField field) {
    if (field == EntryField::GotoStep)
        state_.GotoStepValue = core::RoundToLong(fields_.value(EntryField::GotoStep));
}

void TurnCommands::ShowGotoFields() {
    showGotoStep(state_.GotoStepValue);
    fields_.setText(EntryField::GotoDegrees,
                    core::PlainNumberText(static_cast<core::Single>(
                        core::StepsToDegrees(state_.GotoStepValue, state_.DegreesPerStep))));
}

void TurnCommands::GotoStepClicked() {
    if (fields_.text(EntryField::GotoStep).isEmpty()) {
        platform_.beep();
        return;
    }
    const Long target = core::RoundToLong(fields_.value(EntryField::GotoStep));
    showGotoStep(target);
    fields_.setText(EntryField::GotoDegrees,
                    core::PlainNumberText(core::StepsToDegrees(target, state_.DegreesPerStep, 2)));
    gotoTarget(target);
}

void TurnCommands::GotoDegreesClicked() {
    if (fields_.text(EntryField::GotoDegrees).isEmpty()) {
        fields_.setText(EntryField::GotoDegrees, QStringLiteral("0°"));
        platform_.beep();
        return;
    }
    const Long target =
        core::DegreesToSteps(fields_.value(EntryField::GotoDegrees), state_.DegreesPerStep);
    showGotoStep(target);
    gotoTarget(target);
}

void TurnCommands::gotoTarget(Long target) {
    modes_.busyLock().lock();
    engine_.TurnTo(engine::TurnRequest{target, engine::TurnOrigin::Window}.replacing());
    modes_.busyLock().requestUnlock();
    fields_.setKeyPreview(true);
}

void TurnCommands::MaxTurnClicked() {
    turnToLimit(true);
}

void TurnCommands::MinTurnClicked() {
    turnToLimit(false);
}

void TurnCommands::turnToLimit(bool up) {
    // The button stops whatever turns also where there is nowhere to go; whether it is there is
    // asked of the counter as the stop leaves it.
    engine_.StopTurningAndFollowing();
    const Long limit = up ? state_.MaxPosition : state_.MinPosition;
    if (state_.StepCounter == limit) {
        platform_.beep();
        if (up)
            emit maxToolTipChanged(QStringLiteral("I am at the max position now!"));
        else
            emit minToolTipChanged(QStringLiteral("I am at minimum position now!"));
        return;
    }
    if (up)
        emit maxToolTipChanged(MaxToolTip(limit));
    else
        emit minToolTipChanged(MinToolTip(limit));
    engine_.TurnTo({limit, engine::TurnOrigin::Window});
    fields_.setKeyPreview(true);
}

void TurnCommands::StepUpClicked() {
    engine_.StepBy(-1, 0, engine::TurnOrigin::Window);
    fields_.setKeyPreview(true);
}

void TurnCommands::StepDownClicked() {
    engine_.StepBy(1, 0, engine::TurnOrigin::Window);
    fields_.setKeyPreview(true);
}

void TurnCommands::StopPressed(Qt::MouseButton button) {
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    engine_.StopTurningAndFollowing();
    if (button == Qt::RightButton) {
        platform_.beep();
        speed_.CalibratePcSpeed();
    }
    emit loopKeysEnabled(true);
    fields_.setKeyPreview(true);
}

void TurnCommands::DragBarReleased(Long value) {
    if (value == state_.StepCounter)
        return;
    // The span shown is from where the stop leaves the counter.
    engine_.StopTurningAndFollowing();
    const std::int64_t length = std::int64_t{value} - state_.StepCounter;
    const QString toolTip =
        QStringLiteral("Drag slider (") + core::PlainNumberText(value) + QStringLiteral(")") +
        core::NumberText(core::StepsToDegrees(value, state_.DegreesPerStep)) + QStringLiteral("°");
    const std::int64_t span =
        std::min<std::int64_t>(length < 0 ? -length : length, std::numeric_limits<Long>::max());
    emit dragTurnStarted(std::min(value, state_.StepCounter), static_cast<Long>(span), toolTip);
    engine_.TurnTo({value, engine::TurnOrigin::Window});
    emit dragTurnEnded();
}

void TurnCommands::ShowLimitToolTips() {
    emit maxToolTipChanged(MaxToolTip(state_.MaxPosition));
    emit minToolTipChanged(MinToolTip(state_.MinPosition));
}

} // namespace panel
