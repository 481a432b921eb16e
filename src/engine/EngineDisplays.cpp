// The engine's displays and speed.
#include "core/Degrees.h"
#include "engine/Engine.h"

namespace engine {

using core::Long;

// ---------------------------------------------------------------------------------------------
// Displays

void Engine::showDisplays(unsigned displays) {
    if (displays & DisplayPacing::Counter)
        emit counterChanged(state_.StepCounter);
    if (displays & DisplayPacing::Degrees) {
        state_.CurrentDegrees = static_cast<core::Single>(
            core::StepsToDegrees(state_.StepCounter, state_.DegreesPerStep));
        emit degreesChanged(state_.CurrentDegrees);
    }
    if (displays & DisplayPacing::SliderLabel) {
        emit sliderLabelChanged(sliderLabelValue_);
    }
    if (displays & DisplayPacing::Overlay)
        emit overlayChanged();
    if (displays & DisplayPacing::Speed)
        emit speedChanged();
}

void Engine::showCounterAndSlider() {
    displays_.changed(DisplayPacing::Counter);
}

void Engine::ShowDegrees() {
    displays_.changed(DisplayPacing::Degrees);
}

void Engine::ShowPosition() {
    ShowOverlay();
    showCounterAndSlider();
    if (state_.MinPosition <= state_.StepCounter && state_.StepCounter <= state_.MaxPosition)
        ShowSliderLabel(state_.StepCounter);
    if (state_.StepsPer360 > 1)
        ShowDegrees();
}

void Engine::ShowOverlay() {
    if (state_.OverlaySteps < 0 && state_.OverlayPosition != 0)
        relabel(state_.StepCounter, 0);
    displays_.changed(DisplayPacing::Overlay);
}

void Engine::ShowSliderLabel(Long value) {
    sliderLabelValue_ = value;
    displays_.changed(DisplayPacing::SliderLabel);
}

void Engine::LimitsOrScaleChanged() {
    state_.TargetPosition = state_.StepCounter;
    state_.DegreesPerStep = core::DegreesPerStepOf(state_.StepsPer360);
    ShowDegrees();
}

// ---------------------------------------------------------------------------------------------
// Speed

void Engine::speedSet() {
    slowSpeedChanged();
    displays_.changed(DisplayPacing::Speed);
}

void Engine::SetSpeed() {
    speed_.SetSpeed();
}

void Engine::ShowSpeed() {
    speed_.ShowSpeed();
}

void Engine::planRamp(Long target, Long from) {
    const std::int64_t steps = std::int64_t{from} - target;
    ramp_.Plan(steps < 0 ? -steps : steps, state_.CustomDelayMs, state_.FastestDelayMs);
}

} // namespace engine
