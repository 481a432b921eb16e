#pragma once

#include "engine/Engine.h"

#include <QObject>

namespace panel {

// The main window's power and port commands: "Autopower", "Fieldpower", the port button and
// "&Offset Lpt 89 +5V", with the start-up power and the power part of the housekeeping. The
// state they change is the engine's (power(), portPanel()), which tells the window itself.
class PortCommands : public QObject {
    Q_OBJECT

public:
    // engine must outlive the commands.
    explicit PortCommands(engine::Engine& engine, QObject* parent = nullptr);

    void ApplyStartUpPower();
    // The power part of the one-second housekeeping.
    void PowerTick();
    void AutoPowerClicked(bool ticked);
    void FieldPowerClicked(bool ticked);
    void CycleLptPort();
    void ToggleLpt89();

private:
    engine::Engine& engine_;
};

} // namespace panel
