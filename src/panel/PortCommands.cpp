#include "panel/PortCommands.h"

namespace panel {

PortCommands::PortCommands(engine::Engine& engine, engine::PortDrive& port, QObject* parent)
    : QObject(parent), engine_(engine), port_(port) {}

void PortCommands::ApplyStartUpPower() {
    port_.power().ApplyStartUpPower();
}

void PortCommands::PowerTick() {
    port_.power().HousekeepingTick(engine_.slowTurnRunning());
}

void PortCommands::AutoPowerClicked(bool ticked) {
    engine_.StopTurningAndFollowing();
    port_.power().SetAutoPower(ticked);
}

void PortCommands::FieldPowerClicked(bool ticked) {
    // The stop ends a slow turn too.
    engine_.StopTurningAndFollowing();
    port_.power().SetFieldPower(ticked);
}

void PortCommands::CycleLptPort() {
    engine_.StopTurningAndFollowing();
    port_.portPanel().CycleLptPort();
}

void PortCommands::ToggleLpt89() {
    port_.portPanel().ToggleLpt89();
}

} // namespace panel
