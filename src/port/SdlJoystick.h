#pragma once

#include "port/Joystick.h"

struct _SDL_Joystick;

namespace port {

// A joystick read through SDL's joystick API. Only SDL's joystick subsystem is started, on the
// first open, and without SDL's own signal handlers, so Ctrl+C and logout still reach the
// program's exit path.
class SdlJoystick final : public Joystick {
public:
    SdlJoystick() = default;
    ~SdlJoystick() override;
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    bool open(int id) override;
    std::optional<JoystickReading> poll() override;

private:
    void close();

    bool subsystemStarted_ = false;
    _SDL_Joystick* joystick_ = nullptr;
};

} // namespace port
