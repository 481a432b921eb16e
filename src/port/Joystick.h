#pragma once

#include <cstdint>
#include <optional>

namespace port {

// One reading of a joystick: stick position (0..65535, centre near 32767) and the button mask
// (bit n set while button n+1 is down).
struct JoystickReading {
    int x = 0;
    int y = 0;
    std::uint32_t buttons = 0;
};

// A joystick source; the program shows what it reads and never turns by it.
class Joystick {
public:
    virtual ~Joystick() = default;
    // Opens joystick id; false when there is none (or the system gives no access to it).
    virtual bool open(int id) = 0;
    // The present reading; nullopt when the poll fails (for example the stick was unplugged).
    virtual std::optional<JoystickReading> poll() = 0;
};

// A machine without a joystick.
class NoJoystick final : public Joystick {
public:
    bool open(int) override { return false; }
    std::optional<JoystickReading> poll() override { return std::nullopt; }
};

} // namespace port
