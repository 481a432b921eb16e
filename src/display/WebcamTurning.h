#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "panel/MainInit.h"
#include "platform/Platform.h"

#include <QString>
#include <optional>

namespace display {

// The webcam mount: stepper 1 turns it in azimuth, stepper 2 in elevation. The mouse buttons
// choose the axis (the same button again alternates), the wheel turns the chosen one. While the
// window is open WebcamWindowOpen is set: switching the stepper opens no other window.
class WebcamTurning {
public:
    struct Parts {
        core::ProgramState& state;
        platform::Platform& platform;
        engine::Engine& engine;
        port::CoilOutput& coil;
        panel::MainInit& mainInit;
        engine::WheelControl& wheel;
    };
    static constexpr int LeftButton = 1;
    static constexpr int RightButton = 2;

    explicit WebcamTurning(const Parts& parts);

    // The window opened: no axis chosen yet; the wheel turns the stepper.
    void Opened();
    // The window activated: the main window is built again from the selected stepper's profile
    // without opening other windows; the coil code on the port and the other windows' shown
    // flags stay.
    void Activated();
    // The window closed: the main window is the one shown.
    void Closed();

    // A mouse button on the window: left chooses stepper 2, right stepper 1; a button pressed
    // again after itself counts as the other one. Other buttons do nothing. Waits 50 ms with
    // events served when it powers the drivers off before a switch.
    void SelectAxis(int button);
    // A wheel turn of delta notches (shift: engine::ShiftHeld with Shift) turns the chosen axis.
    // Events are served while it turns.
    void Wheel(int delta, int shift);

    // "Azimuth" (stepper 1) or "Elevation" (stepper 2).
    QString axisName() const;
    bool elevation() const { return state_.SelectedStepper == 1; }
    // The needle: the selected stepper's whole degrees once an axis was chosen or turned; none
    // before, and none for a stepper without steps per turn.
    std::optional<double> needleDegrees() const;

private:
    void PrepareStepperSwitch();
    void PowerOffBeforeSwitch();

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    port::CoilOutput& coil_;
    panel::MainInit& mainInit_;
    engine::WheelControl& wheel_;
    int lastButton_ = 0;
    bool needleShown_ = false;
};

} // namespace display
