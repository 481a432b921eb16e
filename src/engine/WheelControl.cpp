#include "engine/WheelControl.h"

#include "engine/KeyCodes.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdlib>

namespace engine {

namespace {

// Indexes of WheelFunctionNames.
constexpr std::size_t InUse = 0;
constexpr std::size_t NoWheelName = 5;

std::size_t NameIndex(WheelFunction function) {
    return static_cast<std::size_t>(function) + 1;
}

QString DefaultName(WheelFunction function) {
    switch (function) {
    case WheelFunction::Table:
        return QStringLiteral("Table");
    case WheelFunction::Frequency:
        return QStringLiteral("Frequency");
    case WheelFunction::Speed:
        return QStringLiteral("Speed");
    case WheelFunction::Stepper:
        break;
    }
    return QStringLiteral("Stepper");
}

} // namespace

WheelControl::WheelControl(core::ProgramState& state, Engine& engine, const SpeedControl& speed,
                           QObject* parent)
    : QObject(parent), state_(state), engine_(engine), speed_(speed) {}

void WheelControl::InitWheelFunctions(bool mouseHasWheel) {
    auto& names = state_.WheelFunctionNames;
    for (const WheelFunction f : {WheelFunction::Stepper, WheelFunction::Table,
                                  WheelFunction::Frequency, WheelFunction::Speed})
        names[NameIndex(f)] = DefaultName(f);
    names[InUse] = names[NameIndex(WheelFunction::Stepper)];
    names[NoWheelName] = mouseHasWheel ? QString() : QStringLiteral("No Wheel");
    state_.WheelToolTip =
        QStringLiteral("Switch mousewheel functions. V") + QString::fromLatin1(qVersion());
    emit displayChanged();
}

WheelFunction WheelControl::function() const {
    const QString& name = state_.WheelFunctionNames[InUse];
    for (const WheelFunction f :
         {WheelFunction::Table, WheelFunction::Frequency, WheelFunction::Speed}) {
        if (name == DefaultName(f))
            return f;
    }
    return WheelFunction::Stepper;
}

bool WheelControl::tableShown() const {
    return table_ && state_.TableWindowShown;
}

WheelDisplay WheelControl::display() const {
    const auto& names = state_.WheelFunctionNames;
    WheelDisplay d;
    d.scrollEnabled = names[NoWheelName].isEmpty();
    d.scrollCaption = d.scrollEnabled ? names[InUse] : names[NoWheelName];
    d.checked = function();
    d.tableEntryEnabled = tableShown();
    d.frequencyEntryEnabled = tableShown() && table_->rigPortOpen();
    return d;
}

void WheelControl::SelectWheelFunction(int keep) {
    if (keep == 0) {
        WheelFunction next = WheelFunction::Stepper;
        switch (function()) {
        case WheelFunction::Stepper:
            next = tableShown() ? WheelFunction::Table : WheelFunction::Speed;
            break;
        case WheelFunction::Table:
            next = tableShown() && table_->rigPortOpen() ? WheelFunction::Frequency
                                                         : WheelFunction::Speed;
            break;
        case WheelFunction::Frequency:
            next = WheelFunction::Speed;
            break;
        case WheelFunction::Speed:
            next = WheelFunction::Stepper;
            break;
        }
        state_.WheelFunctionNames[InUse] = DefaultName(next);
    }
    emit displayChanged();
}

void WheelControl::ChooseWheelFunction(WheelFunction function) {
    // "Table" and "Frequency" are reached by advancing from the function before them, so the
    // cycle's conditions decide.
    auto& names = state_.WheelFunctionNames;
    switch (function) {
    case WheelFunction::Stepper:
    case WheelFunction::Speed:
        names[InUse] = DefaultName(function);
        SelectWheelFunction(-1);
        break;
    case WheelFunction::Table:
        names[InUse] = DefaultName(WheelFunction::Stepper);
        SelectWheelFunction(0);
        break;
    case WheelFunction::Frequency:
        names[InUse] = DefaultName(WheelFunction::Table);
        SelectWheelFunction(0);
        break;
    }
}

void WheelControl::HandleWheel(int delta, int shift) {
    if (delta == 0)
        return;
    const WheelFunction used = function();
    bool jumpSizeChanged = false;
    switch (used) {
    case WheelFunction::Stepper:
        wheelStepper(delta, shift);
        break;
    case WheelFunction::Table:
        // Under transmit no row is picked: that would also send the rig its frequency.
        if (engine_.AskGate(TurnOrigin::Repeated).outcome != TurnOutcome::Done)
            break;
        if (tableShown() && table_->selectRowBy(delta < 0 ? 1 : -1)) {
            // The stop comes before the row's frequency goes to the rig; following goes on.
            engine_.StopTurningAndFollowing();
            state_.RigFollowHalted = false;
            table_->turnToSelectedRow();
        }
        break;
    case WheelFunction::Frequency:
        if (!tableShown())
            break;
        if (shift == ShiftHeld) {
            table_->changeFrequencyJump(delta);
            jumpSizeChanged = true;
        } else {
            table_->jumpFrequency(delta < 0);
        }
        break;
    case WheelFunction::Speed:
        wheelSpeed(delta, shift);
        break;
    }
    // The turns above let events run: the table window may have closed meanwhile.
    if (!jumpSizeChanged && tableShown())
        table_->resetJumpLabel();
}

void WheelControl::wheelStepper(int delta, int shift) {
    if (state_.BothSteppersPin6)
        emit webcamPictureShown(delta < 0);
    if (!(state_.OverlayMenu && state_.OverlayOn)) {
        engine_.StepBy(delta, shift, TurnOrigin::Repeated);
        return;
    }
    // With the overlay active the wheel works in the overlay's own direction: a positive delta
    // fills the overlay and then steps up, a negative one empties it and then steps down.
    // Overlay steps are made without serving events.
    const bool fill = delta > 0;
    const bool overlayLeft =
        fill ? state_.OverlayPosition < state_.OverlaySteps : state_.OverlayPosition > 0;
    if (!overlayLeft) {
        engine_.StepBy(-std::int64_t{delta}, shift, TurnOrigin::Repeated);
        return;
    }
    const std::int64_t size = shift == ShiftHeld ? 5 * std::llabs(std::int64_t{delta}) : 1;
    const bool noYield = state_.NoYield;
    state_.NoYield = true;
    engine_.ApplyOverlay(size * delta, TurnOrigin::Repeated);
    state_.NoYield = noYield;
}

void WheelControl::wheelSpeed(int delta, int shift) {
    const SpeedControl::ScrollBar& bar = speed_.scrollBar();
    const std::int64_t step = std::llabs(std::int64_t{delta}) * (shift == ShiftHeld ? 10 : 1);
    const std::int64_t value = std::clamp<std::int64_t>(
        std::int64_t{bar.value} + (delta < 0 ? step : -step), bar.minimum, bar.maximum);
    if (value != bar.value)
        emit speedScrolled(static_cast<core::Long>(value));
}

} // namespace engine
