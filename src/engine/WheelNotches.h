#pragma once

#include <QPoint>

namespace engine {

// Whole wheel notches from Qt's wheel movement, with the sign the wheel commands use: a notch
// away from the user is -1 (the stepper up, the next table row), towards the user +1.
// High-resolution wheels and touchpads report parts of a notch (a notch is 120 eighths of a
// degree); the parts are kept until they make a notch and dropped when the direction changes.
class WheelNotches {
public:
    static constexpr int AnglePerNotch = 120;

    // angleDelta is QWheelEvent::angleDelta(): the vertical movement, or the horizontal one
    // when there is none (some desktops turn Shift+wheel into a sideways wheel). Returns the
    // notches completed, 0 while none is.
    int add(QPoint angleDelta);
    // Forgets a part of a notch (the window lost the wheel).
    void reset() { rest_ = 0; }

private:
    int rest_ = 0; // eighths of a degree away from the user, short of a notch
};

} // namespace engine
