#include "panel/MainPresenter.h"

namespace panel {

using core::Long;
using engine::Engine;

MainPresenter::MainPresenter(core::ProgramState& state, Engine& engine, SpeedPanel& speed,
                             WindowModes& modes, QObject* parent)
    : QObject(parent), state_(state), speed_(speed), modes_(modes),
      view_(MainViewOf(state, speed.control(), modes.modes())) {
    connect(&engine, &Engine::counterChanged, this, [this](Long counter) {
        update([&](MainView& v) {
            v.counterText = CounterText(counter);
            dragBarAt(v, counter);
        });
    });
    connect(&engine, &Engine::sliderLabelChanged, this, &MainPresenter::ShowSliderLabel);
    // The degrees are told again whenever the limits or the steps per turn change; none (0)
    // hides them.
    connect(&engine, &Engine::degreesChanged, this, [this](core::Single degrees) {
        update([&](MainView& v) {
            v.degreesText = DegreesLabelText(degrees);
            v.degreesVisible = state_.StepsPer360 > 0;
            dragBarAt(v, state_.StepCounter);
        });
    });
    connect(&engine, &Engine::overlayChanged, this, &MainPresenter::ShowOverlay);
    connect(&engine, &Engine::speedChanged, this,
            [this] { update([this](MainView& v) { v.speed = SpeedViewOf(speed_.control()); }); });
    connect(&speed, &SpeedPanel::pcSpeedChanged, this, [this](Long pcSpeed) {
        update([&](MainView& v) { v.pcSpeedText = PcSpeedText(pcSpeed); });
    });
    connect(&modes, &WindowModes::modesChanged, this, [this] {
        update([this](MainView& v) {
            const engine::TurningModes& modes = modes_.modes();
            v.shuttleCaption = modes.shuttleCaption();
            v.pulsCaption = modes.pulsCaption();
            v.calibrationCaption = modes.calibrationCaption();
        });
    });
}

void MainPresenter::dragBarAt(MainView& v, Long counter) const {
    v.sliderMinimum = state_.MinPosition;
    v.sliderMaximum = state_.MaxPosition;
    if (state_.MinPosition <= counter && counter <= state_.MaxPosition)
        v.sliderValue = counter;
}

template <typename T> void MainPresenter::set(T MainView::*field, T value) {
    if (view_.*field == value)
        return;
    view_.*field = std::move(value);
    emit changed(view_);
}

template <typename Change> void MainPresenter::update(Change&& change) {
    MainView next = view_;
    change(next);
    if (next == view_)
        return;
    view_ = std::move(next);
    emit changed(view_);
}

void MainPresenter::SliderLabelClicked() {
    state_.SliderShowsDegrees = !state_.SliderShowsDegrees;
    ShowSliderLabel(state_.StepCounter);
}

void MainPresenter::ShowSliderLabel(Long value) {
    QString text = SliderLabelText(state_, value);
    const Long color = state_.SliderShowsDegrees ? state_.PelorusDegreeColor : 0;
    if (text == view_.sliderLabelText && color == view_.sliderLabelColor)
        return;
    view_.sliderLabelText = std::move(text);
    view_.sliderLabelColor = color;
    emit changed(view_);
}

void MainPresenter::ShowOverlay() {
    update([this](MainView& v) { v.overlay = OverlayDisplayFor(state_); });
}

void MainPresenter::StateReplaced() {
    update([this](MainView& v) { v.pcSpeedText = PcSpeedText(state_.PcSpeed); });
}

} // namespace panel
