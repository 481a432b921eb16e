#include "panel/PortCommands.h"

namespace panel {

PortCommands::PortCommands(engine::Engine& engine, QObject* parent)
    : QObject(parent), engine_(engine) {}

void PortCommands::ApplyStartUpPower() {
    engine_.power().ApplyStartUpPower();
}

void PortCommands::PowerTick() {
    engine_.power().HousekeepingTick(engine_.slowTurnRunning());
}

void PortCommands::AutoPowerClicked(bool ticked) {
    engine_.StopTurningAndFollowing();
    engine_.power().SetAutoPower(ticked);
}

void PortCommands::FieldPowerClicked(bool ticked) {
    // The stop ends a slow turn too.
    engine_.StopTurningAndFollowing();
    engine_.power().SetFieldPower(ticked);
}

void PortCommands::CycleLptPort() {
    engine_.StopTurningAndFollowing();
    engine_.portPanel().CycleLptPort();
}

void PortCommands::ToggleLpt89() {
    engine_.portPanel().ToggleLpt89();
}

} // namespace panel
