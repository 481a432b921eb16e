#include "panel/MainView.h"

namespace panel {

SpeedView SpeedViewOf(const engine::SpeedControl& speed) {
    const engine::SpeedControl::Texts& texts = speed.texts();
    return {speed.scrollBar(),
            speed.speedButtonCaption(),
            texts.slowLabel,
            texts.fastLabel,
            texts.rpmLabel,
            texts.speedLabel,
            speed.speedModulateTicked(),
            speed.speedModulateVisible()};
}

QString PcSpeedText(core::Long pcSpeed) {
    return QStringLiteral("PCspeed=") + CounterText(pcSpeed);
}

MainView MainViewOf(const core::ProgramState& state, const engine::SpeedControl& speed,
                    const engine::TurningModes& modes) {
    MainView view;
    view.counterText = CounterText(state.StepCounter);
    view.sliderValue = state.StepCounter;
    view.sliderMinimum = state.MinPosition;
    view.sliderMaximum = state.MaxPosition;
    view.sliderLabelText = SliderLabelText(state, state.StepCounter);
    view.sliderLabelColor = state.SliderShowsDegrees ? state.PelorusDegreeColor : 0;
    view.degreesText = DegreesLabelText(state.CurrentDegrees);
    view.degreesVisible = state.StepsPer360 > 0;
    view.overlay = OverlayDisplayFor(state);
    view.pcSpeedText = PcSpeedText(state.PcSpeed);
    view.speed = SpeedViewOf(speed);
    view.shuttleCaption = modes.shuttleCaption();
    view.pulsCaption = modes.pulsCaption();
    view.calibrationCaption = modes.calibrationCaption();
    return view;
}

} // namespace panel
