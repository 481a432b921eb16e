#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "platform/Platform.h"

#include <QObject>
#include <QString>
#include <optional>
#include <utility>

namespace panel {

// The main window's speed panel: the scroll bar, the "Fa&st"/"Cu&stom" button, the
// "SpeedModulate" box, the two speed fields and the PC-speed calibration. It sets the speed in
// the SpeedControl the engine turns at, which tells the engine that it changed.
class SpeedPanel : public QObject {
    Q_OBJECT

public:
    // engine and speed (the engine's) must outlive the panel.
    SpeedPanel(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
               engine::SpeedControl& speed, QObject* parent = nullptr);

    // The speed controls as they stand, for whoever shows them.
    const engine::SpeedControl& control() const { return speed_; }

    // Takes the scroll bar's value as the speed; the fields are written when their delays
    // changed.
    void SetSpeed();
    // The speed texts from StepDelayMs.
    void ShowSpeed();
    // Start-up: the speed controls from the profile, the fields written afresh.
    void InitSpeed();
    // The user moved the speed scroll bar, or a key or the wheel did.
    void SpeedScrolled(core::Long value);
    // The "Fa&st"/"Cu&stom" button (and the F key).
    void ToggleFastCustom();
    // The "SpeedModulate" box clicked: every turn stops.
    void SpeedModulateClicked(bool ticked);
    // Measures PcSpeed (one second, the window frozen) and tells it.
    void CalibratePcSpeed();

signals:
    // The two speed fields (seconds), only when the slowest or fastest delay changed: what the
    // user is typing there stays.
    void speedFieldsChanged(const QString& slowest, const QString& fastest);
    // PcSpeed was measured.
    void pcSpeedChanged(core::Long pcSpeed);

private:
    // The two speed fields, told when their texts changed.
    void showFields();
    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    engine::SpeedControl& speed_;
    std::optional<std::pair<QString, QString>> fieldsShown_;
};

} // namespace panel
