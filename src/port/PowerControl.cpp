#include "port/PowerControl.h"

#include "core/TextRules.h"

#include <QScopeGuard>

namespace port {

namespace {
const QString AutoPowerOffCaption = QStringLiteral("Autopower (off.)");
} // namespace

PowerControl::PowerControl(core::ProgramState& state, CoilOutput& coil)
    : state_(state), coil_(coil) {}

void PowerControl::tellIfChanged(const Shown& before) {
    if (shown() != before)
        emit changed();
}

void PowerControl::writeWithStepperBits(bool on) {
    const core::Long value = (coil_.ReadData() & ~CoilMask) | coil_.PositionCode();
    coil_.WriteData(on ? (value | state_.StepperBits) : (value & ~state_.StepperBits));
}

void PowerControl::ApplyStartUpPower() {
    // Told also unchanged: the main window was built anew and shows it afresh.
    const auto tell = qScopeGuard([this] { emit changed(); });
    fieldPowerTicked_ = false;
    idleSeconds_ = 0;
    // One write, on the position's code: a code written on the way (0, say) would turn the
    // motor uncounted.
    const core::Long coil = coil_.PositionCode();
    if (autoPowerTicked()) {
        coil_.WriteCoil(coil);
    } else {
        autoPowerCaption_ = AutoPowerOffCaption;
        coil_.WriteData(coil | state_.LptExtraBits);
    }
}

QString PowerControl::CountdownCaption(int secondsLeft) {
    return QStringLiteral("Autopower (") + core::PlainNumberText(secondsLeft) +
           QStringLiteral(" Sec.)");
}

bool PowerControl::EnsureTurnPower() {
    if (powerWanted())
        return false;
    fieldPowerTicked_ = true;
    writeWithStepperBits(true);
    emit changed();
    return true;
}

void PowerControl::SetAutoPower(bool ticked) {
    // The user's click: the box shows the outcome afresh.
    const auto tell = qScopeGuard([this] { emit changed(); });
    const core::Long coil = coil_.PositionCode();
    if (ticked) {
        state_.AutoPower = 1;
        // The drivers were just switched on: the countdown starts again from 20.
        idleSeconds_ = 0;
        coil_.WriteCoil(coil);
    } else {
        state_.AutoPower = 0;
        autoPowerCaption_ = QStringLiteral("Autopower(off)");
        fieldPowerTicked_ = false;
        coil_.WriteData(coil | state_.LptExtraBits);
    }
}

void PowerControl::SetFieldPower(bool ticked) {
    fieldPowerTicked_ = ticked;
    writeWithStepperBits(ticked);
    emit changed(); // the user's click, shown afresh
}

void PowerControl::DriversWentOff() {
    const Shown before = shown();
    fieldPowerTicked_ = false;
    tellIfChanged(before);
}

void PowerControl::HousekeepingTick(bool slowTurnRunning) {
    // Every second: the countdown's caption is told as it changes, not while it rests.
    const Shown before = shown();
    const auto tell = qScopeGuard([&] { tellIfChanged(before); });
    if (state_.StepActivity) {
        state_.StepActivity = false;
        idleSeconds_ = 0;
    }
    if (!autoPowerTicked() || slowTurnRunning)
        return;
    if (idleSeconds_ == AutoPowerOffSeconds) {
        autoPowerCaption_ = AutoPowerOffCaption;
        if (coil_.ReadData() & state_.StepperBits)
            writeWithStepperBits(false);
    } else if (idleSeconds_ != AutoPowerOffSeconds + 1) {
        autoPowerCaption_ = CountdownCaption(AutoPowerOffSeconds - idleSeconds_);
    } else {
        idleSeconds_ = AutoPowerOffSeconds; // rests at 21 until the next step
    }
    ++idleSeconds_;
}

} // namespace port
