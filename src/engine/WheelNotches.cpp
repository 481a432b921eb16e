#include "engine/WheelNotches.h"

#include <algorithm>

namespace engine {

int WheelNotches::add(QPoint angleDelta) {
    // Far beyond any wheel; keeps the sum below from overflowing.
    constexpr int Limit = 1 << 24;
    const int away =
        std::clamp(angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x(), -Limit, Limit);
    if ((away > 0 && rest_ < 0) || (away < 0 && rest_ > 0))
        rest_ = 0;
    rest_ += away;
    const int notches = rest_ / AnglePerNotch;
    rest_ -= notches * AnglePerNotch;
    return -notches;
}

} // namespace engine
