#include "panel/SpeedPanel.h"

#include "engine/EngineLogging.h"
#include "engine/PcSpeedCalibration.h"

namespace panel {

SpeedPanel::SpeedPanel(core::ProgramState& state, platform::Platform& platform,
                       engine::Engine& engine, engine::SpeedControl& speed, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), speed_(speed) {}

void SpeedPanel::SetSpeed() {
    speed_.SetSpeed();
    showFields();
}

void SpeedPanel::showFields() {
    const engine::SpeedControl& speed = speed_;
    const auto fields = std::make_pair(speed.texts().slowestField, speed.texts().fastestField);
    if (fieldsShown_ != fields) {
        fieldsShown_ = fields;
        emit speedFieldsChanged(fields.first, fields.second);
    }
}

void SpeedPanel::ShowSpeed() {
    speed_.ShowSpeed();
}

void SpeedPanel::InitSpeed() {
    fieldsShown_.reset();
    speed_.InitSpeed();
    showFields();
}

void SpeedPanel::SpeedScrolled(core::Long value) {
    speed_.setScrollValue(value);
    SetSpeed();
}

void SpeedPanel::ToggleFastCustom() {
    speed_.ToggleFastCustom();
}

void SpeedPanel::SpeedModulateClicked(bool ticked) {
    speed_.setSpeedModulateTicked(ticked);
    state_.SpeedModulate = ticked;
    engine_.StopTurningAndFollowing();
}

void SpeedPanel::CalibratePcSpeed() {
    state_.PcSpeed = engine::CountLoopPassesInOneSecond(platform_);
    qCInfo(lcEngine) << "PC speed" << state_.PcSpeed;
    emit pcSpeedChanged(state_.PcSpeed);
}

} // namespace panel
