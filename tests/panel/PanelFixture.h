#pragma once

#include "engine/EngineFixture.h"
#include "panel/CalibrationRun.h"
#include "panel/Housekeeping.h"
#include "panel/MainFields.h"
#include "panel/OverlayPanel.h"
#include "panel/ShuttlePuls.h"
#include "panel/StepperParams.h"
#include "panel/TurnCommands.h"

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

// The panels around the main window's position, on the engine of Fixture (an EngineFixture).
template <typename Fixture> struct WithPanels : Fixture {
    panel::MainFields fields;
    panel::TurnCommands turns{this->state,      this->platform,    this->engine,
                              this->speedPanel, this->windowModes, fields};
    panel::StepperParams params{this->state,      this->platform,    this->engine,
                                this->speedPanel, this->windowModes, fields};
    panel::ShuttlePuls shuttlePuls{this->state,       this->platform, this->engine,
                                   this->windowModes, fields,         params};
    panel::CalibrationRun calibration{this->state, this->platform, this->engine, this->windowModes,
                                      fields};
    panel::OverlayPanel overlay{this->state, this->engine, fields};
};

} // namespace panel_test
