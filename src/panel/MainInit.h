#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "panel/Housekeeping.h"
#include "panel/MainFields.h"
#include "panel/OverlayPanel.h"
#include "panel/PortCommands.h"
#include "panel/TurnCommands.h"
#include "platform/Platform.h"
#include "port/JoystickStatus.h"
#include "port/SwitchInputs.h"

#include <QObject>

namespace panel {

// The windows start-up shows, from the shown flags of the working profile.
struct StartWindows {
    bool main = true;
    bool pelorus = false;
    bool smallPelorus = false;
    bool table = false;
    bool timer = false;
    bool operator==(const StartWindows&) const = default;
};

// InitMain: the main window built from the state, at start-up and whenever the working profile
// is replaced (another stepper, the defaults, both steppers and pin 6). Loads the working
// profile, clears the port and powers the driver as the profile says, fills every panel, and
// decides which windows are shown:
// - the pelorus windows only with degrees (StepsPer360 above 0), else their flags are cleared;
// - the table window wins over the timer window, whose flag is cleared;
// - the main window when its flag is set, and always when none of the pelorus, table and timer
//   windows is.
class MainInit : public QObject {
    Q_OBJECT

public:
    struct Parts {
        core::ProgramState& state;
        platform::Platform& platform;
        engine::Engine& engine;
        SpeedPanel& speed;
        WindowModes& modes;
        MainFields& fields;
        port::SwitchInputs& switches;
        port::JoystickStatus& joystick;
        Housekeeping& housekeeping;
        TurnCommands& turns;
        OverlayPanel& overlay;
        engine::WheelControl& wheel;
        PortCommands& portCommands;
        engine::PortDrive& port;
    };

    explicit MainInit(const Parts& parts, QObject* parent = nullptr);

    // quiet (the webcam turning window is open): no window is shown and the housekeeping is
    // not started.
    void InitMain(bool quiet);

signals:
    // The main window's title, menus and captions follow the state.
    void mainWindowChanged();
    // lblPulsShuttle: " 27°", or "???" without degrees.
    void pulsShuttleTextChanged(const QString& text);
    // The windows to show now (not when quiet).
    void windowsShown(const panel::StartWindows& windows);

private:
    StartWindows windowFlags();

    Parts p_;
};

} // namespace panel
