#include "panel/SpeedPanel.h"

#include "engine/EngineLogging.h"
#include "engine/PcSpeedCalibration.h"

namespace panel {

SpeedPanel::SpeedPanel(core::ProgramState& state, platform::Platform& platform,
                       engine::Engine& engine, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine) {}

void SpeedPanel::SetSpeed() {
    engine_.speed().SetSpeed();
    showFields();
}

void SpeedPanel::showFields() {
    const engine::SpeedControl& speed = engine_.speed();
    const auto fields = std::make_pair(speed.texts().slowestField, speed.texts().fastestField);
    if (fieldsShown_ != fields) {
        fieldsShown_ = fields;
        emit speedFieldsChanged(fields.first, fields.second);
    }
}

void SpeedPanel::ShowSpeed() {
    engine_.speed().ShowSpeed();
}

void SpeedPanel::InitSpeed() {
    fieldsShown_.reset();
    engine_.speed().InitSpeed();
    showFields();
}

void SpeedPanel::SpeedScrolled(core::Long value) {
    engine_.speed().setScrollValue(value);
    SetSpeed();
}

void SpeedPanel::ToggleFastCustom() {
    engine_.speed().ToggleFastCustom();
}

void SpeedPanel::SpeedModulateClicked(bool ticked) {
    engine_.speed().setSpeedModulateTicked(ticked);
    state_.SpeedModulate = ticked;
    engine_.StopTurningAndFollowing();
}

void SpeedPanel::CalibratePcSpeed() {
    state_.PcSpeed = engine::CountLoopPassesInOneSecond(platform_);
    qCInfo(lcEngine) << "PC speed" << state_.PcSpeed;
    emit pcSpeedChanged(state_.PcSpeed);
}

} // namespace panel
