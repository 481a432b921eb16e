#include "panel/MainPresenter.h"

namespace panel {

using engine::Engine;

MainPresenter::MainPresenter(core::ProgramState& state, Engine& engine, QObject* parent)
    : QObject(parent), state_(state), engine_(engine) {
    connect(&engine, &Engine::degreesChanged, this,
            [this](core::Single degrees) { emit degreesShown(DegreesLabelText(degrees)); });
    connect(&engine, &Engine::sliderLabelChanged, this, [this](core::Long value) {
        emit sliderLabelShown(SliderLabelText(state_, value),
                              state_.SliderShowsDegrees ? state_.PelorusDegreeColor : 0);
    });
    connect(&engine, &Engine::overlayChanged, this,
            [this] { emit overlayShown(OverlayDisplayFor(state_)); });
    connect(&engine, &Engine::pcSpeedChanged, this, [this](core::Long pcSpeed) {
        emit pcSpeedShown(QStringLiteral("PCspeed=") + CounterText(pcSpeed));
    });
}

void MainPresenter::SliderLabelClicked() {
    state_.SliderShowsDegrees = !state_.SliderShowsDegrees;
    engine_.ShowSliderLabel(state_.StepCounter);
}

} // namespace panel
