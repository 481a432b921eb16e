#include "panel/PortCommands.h"

namespace panel {

PortCommands::PortCommands(engine::Engine& engine, QObject* parent)
    : QObject(parent), engine_(engine) {}

void PortCommands::ApplyStartUpPower() {
    engine_.power().ApplyStartUpPower();
    emit powerChanged();
}

void PortCommands::PowerTick() {
    engine_.power().HousekeepingTick(engine_.slowTurnRunning());
    emit powerChanged();
}

void PortCommands::AutoPowerClicked(bool ticked) {
    engine_.StopTurningAndFollowing();
    engine_.power().SetAutoPower(ticked);
    emit powerChanged();
}

void PortCommands::FieldPowerClicked(bool ticked) {
    engine_.StopTurningAndFollowing();
    if (!ticked)
        engine_.StopSlowTimers();
    engine_.power().SetFieldPower(ticked);
    emit powerChanged();
}

void PortCommands::CycleLptPort() {
    engine_.StopTurningAndFollowing();
    engine_.portPanel().CycleLptPort();
    emit portPanelChanged();
}

void PortCommands::ToggleLpt89() {
    engine_.portPanel().ToggleLpt89();
    emit portPanelChanged();
}

} // namespace panel
