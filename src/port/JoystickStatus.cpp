#include "port/JoystickStatus.h"

#include "core/VersionTexts.h"

namespace port {

JoystickStatus::JoystickStatus(core::ProgramState& state, Joystick& joystick,
                               platform::Platform& platform)
    : state_(state), joystick_(joystick), platform_(platform) {}

bool JoystickStatus::JoystickInit(int id) {
    JoyId = id;
    if (!joystick_.open(id))
        return false;
    if (const auto reading = joystick_.poll()) {
        JoyCenterX = reading->x;
        JoyCenterY = reading->y;
    }
    return true;
}

QString JoystickStatus::ButtonDigits(std::uint32_t buttons) {
    QString digits;
    for (int n = 15; n >= 0; --n)
        digits += (buttons >> n) & 1u ? QLatin1Char('1') : QLatin1Char('0');
    return digits;
}

void JoystickStatus::JoystickPoll() {
    const auto reading = joystick_.poll();
    if (reading) {
        for (int n = 0; n < 16; ++n)
            JoyButtons[n] = (reading->buttons >> n) & 1u;
        JoyX = reading->x;
        JoyY = reading->y;
    }
    std::uint32_t mask = 0;
    for (int n = 0; n < 16; ++n)
        mask |= JoyButtons[n] ? 1u << n : 0u;
    frameText_ = QStringLiteral("Status Joystick on X=%1 Y=%2  %3")
                     .arg(JoyX)
                     .arg(JoyY)
                     .arg(ButtonDigits(mask));
}

bool JoystickStatus::MenuToggled(bool checked) {
    if (!checked) {
        state_.JoystickOn = false;
        frameText_ = QStringLiteral("Status");
        return false;
    }
    if (JoystickInit(0)) {
        state_.JoystickOn = true;
        frameText_ = QStringLiteral("Status") + QStringLiteral(" Joystick on");
        return true;
    }
    state_.JoystickOn = false;
    platform_.messageBox(QStringLiteral("This PC has no JoyStick "), core::MessageTitle(),
                         platform::Icon::Information);
    frameText_ = QStringLiteral("Status");
    return false;
}

void JoystickStatus::StartUp() {
    if (!state_.JoystickOn)
        return;
    if (JoystickInit(0))
        frameText_ = QStringLiteral("Status Yoystick on");
    else
        state_.JoystickOn = false;
}

} // namespace port
