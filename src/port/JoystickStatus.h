#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "port/Joystick.h"

#include <QString>
#include <array>
#include <cstdint>

namespace port {

// The joystick status display of the main window's status frame: opens joystick 0 and shows,
// once a second, its position and its sixteen buttons. The joystick never turns the stepper.
class JoystickStatus {
public:
    JoystickStatus(core::ProgramState& state, Joystick& joystick, platform::Platform& platform);

    // Opens the joystick and takes its centre; false when there is none.
    bool JoystickInit(int id);
    // Reads the joystick and refreshes the frame text; a failing poll keeps the last values.
    void JoystickPoll();

    // The "JoyStick" menu entry was set to checked; returns the check mark it must show.
    bool MenuToggled(bool checked);
    // Start-up: re-opens a joystick that was on when the program last ended.
    void StartUp();

    // Sixteen digits, button 16 first ("1" while down).
    static QString ButtonDigits(std::uint32_t buttons);

    // The caption of the main window's status frame.
    const QString& frameText() const { return frameText_; }

    int JoyId = 0;
    int JoyCenterX = 0;
    int JoyCenterY = 0;
    int JoyX = 0;
    int JoyY = 0;
    std::array<bool, 16> JoyButtons{};

private:
    core::ProgramState& state_;
    Joystick& joystick_;
    platform::Platform& platform_;
    QString frameText_ = QStringLiteral("Status");
};

} // namespace port
