#pragma once

#include "engine/EngineFixture.h"
#include "panel/Housekeeping.h"

namespace panel_test {

using namespace engine_test;

// The housekeeping wired to the engine as the application does it, not yet started.
struct HousekeepingFixture : EngineFixture {
    port::NoJoystick noJoystick;
    port::JoystickStatus joystick{state, noJoystick, platform};
    panel::PortCommands portCommands{engine, drive};
    panel::Housekeeping housekeeping{state,        platform, engine,  windowModes,
                                     portCommands, switches, joystick};

    HousekeepingFixture() {
        using engine::Engine;
        using panel::Housekeeping;
        QObject::connect(&engine, &Engine::turnStarted, &housekeeping, &Housekeeping::Pause);
        QObject::connect(&engine, &Engine::turnEnded, &housekeeping, &Housekeeping::Resume);
        QObject::connect(&engine, &Engine::slowStepMade, &housekeeping, &Housekeeping::Tick);
    }
};

} // namespace panel_test
