#include "display/WebcamTurning.h"

#include "display/DialGeometry.h"

namespace display {
namespace {

constexpr core::Long DriverEnableBits = 4 | 8;
constexpr double PowerOffWaitMs = 50;

} // namespace

WebcamTurning::WebcamTurning(const Parts& parts)
    : state_(parts.state), platform_(parts.platform), engine_(parts.engine), coil_(parts.coil),
      mainInit_(parts.mainInit), wheel_(parts.wheel) {}

void WebcamTurning::Opened() {
    // A window of its own: no axis chosen yet, so the first button is taken as pressed.
    lastButton_ = 0;
    needleShown_ = false;
    wheel_.ChooseWheelFunction(engine::WheelFunction::Stepper);
}

void WebcamTurning::Activated() {
    state_.WebcamWindowOpen = true;
    // The quiet rebuild opens no window and closes only the timer table: the dials and the
    // frequency table stay open and keep their shown flags, so the next start opens them again.
    state_.MainShown = true;
    state_.StoreStepperProfile();
    const bool table = state_.TableWindowShown;
    mainInit_.InitMain(true);
    state_.TableWindowShown = table;
}

void WebcamTurning::Closed() {
    state_.WebcamWindowOpen = false;
    state_.MainShown = true;
}

void WebcamTurning::PrepareStepperSwitch() {
    state_.MainShown = true;
    state_.TableWindowShown = state_.TimerWindowShown = false;
    state_.PelorusShown = state_.SmallPelorusShown = false;
    state_.StoreStepperProfile();
}

void WebcamTurning::PowerOffBeforeSwitch() {
    const core::Long value = coil_.ReadData();
    if (value & DriverEnableBits) {
        coil_.WriteData(value & ~DriverEnableBits);
        platform_.waitMs(PowerOffWaitMs);
    }
}

void WebcamTurning::SelectAxis(int button) {
    if (button != LeftButton && button != RightButton)
        return;
    if (button == lastButton_)
        button = button == LeftButton ? RightButton : LeftButton;
    lastButton_ = button;
    needleShown_ = true;
    const core::Long stepper = button == LeftButton ? 1 : 0;
    if (state_.SelectedStepper != stepper) {
        PrepareStepperSwitch();
        PowerOffBeforeSwitch();
        engine_.SwitchStepper(stepper);
    }
}

void WebcamTurning::Wheel(int delta, int shift) {
    needleShown_ = true;
    wheel_.ChooseWheelFunction(engine::WheelFunction::Stepper);
    wheel_.HandleWheel(delta, shift);
}

QString WebcamTurning::axisName() const {
    return elevation() ? QStringLiteral("Elevation") : QStringLiteral("Azimuth");
}

std::optional<double> WebcamTurning::needleDegrees() const {
    if (!needleShown_)
        return std::nullopt;
    return WebcamNeedleDegrees(state_.StepCounter, state_.StepsPer360);
}

} // namespace display
