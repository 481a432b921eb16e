#pragma once

#include "engine/Engine.h"

#include <QObject>

namespace panel {

// The main window's power and port commands: "Autopower", "Fieldpower", the port button and
// "&Offset Lpt 89 +5V", with the start-up power and the power part of the housekeeping. The
// state they change is the port's (PortDrive: power, port panel), which tells the window itself.
class PortCommands : public QObject {
    Q_OBJECT

public:
    // engine and port must outlive the commands.
    PortCommands(engine::Engine& engine, engine::PortDrive& port, QObject* parent = nullptr);

    // What the window shows of the power and the port panel.
    const port::PowerControl& power() const { return port_.power(); }
    const port::PortPanel& portPanel() const { return port_.portPanel(); }

    void ApplyStartUpPower();
    // The power part of the one-second housekeeping.
    void PowerTick();
    void AutoPowerClicked(bool ticked);
    void FieldPowerClicked(bool ticked);
    void CycleLptPort();
    void ToggleLpt89();

private:
    engine::Engine& engine_;
    engine::PortDrive& port_;
};

} // namespace panel
