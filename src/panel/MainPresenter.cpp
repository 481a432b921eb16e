#include "panel/MainPresenter.h"

namespace panel {

using engine::Engine;

MainPresenter::MainPresenter(core::ProgramState& state, Engine& engine, SpeedPanel& speed,
                             QObject* parent)
    : QObject(parent), state_(state) {
    connect(&engine, &Engine::degreesChanged, this,
            [this](core::Single degrees) { emit degreesShown(DegreesLabelText(degrees)); });
    connect(&engine, &Engine::sliderLabelChanged, this, &MainPresenter::ShowSliderLabel);
    connect(&engine, &Engine::overlayChanged, this, &MainPresenter::ShowOverlay);
    connect(&speed, &SpeedPanel::pcSpeedChanged, this, [this](core::Long pcSpeed) {
        emit pcSpeedShown(QStringLiteral("PCspeed=") + CounterText(pcSpeed));
    });
}

void MainPresenter::SliderLabelClicked() {
    state_.SliderShowsDegrees = !state_.SliderShowsDegrees;
    ShowSliderLabel(state_.StepCounter);
}

void MainPresenter::ShowSliderLabel(core::Long value) {
    emit sliderLabelShown(SliderLabelText(state_, value),
                          state_.SliderShowsDegrees ? state_.PelorusDegreeColor : 0);
}

void MainPresenter::ShowOverlay() {
    emit overlayShown(OverlayDisplayFor(state_));
}

} // namespace panel
