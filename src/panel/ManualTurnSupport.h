#pragma once

#include "engine/Engine.h"
#include "platform/Platform.h"

#include <QString>
#include <limits>

namespace panel {

// "Time 12:34:56" for lblTime.
inline QString TimeLabelText(const platform::Platform& platform) {
    return QStringLiteral("Time ") + platform.now().time().toString(QStringLiteral("HH:mm:ss"));
}

// A position moved by a step count, held within a Long.
inline core::Long OffsetPosition(core::Long from, std::int64_t by) {
    return core::ClampToLong(std::int64_t{from} + by);
}

// After a turn inside an endless loop: a turn handed to the slow-turn timers is waited for,
// and a turn that did not move (nothing to do, or a limit) still lets the window run, so a loop
// of such turns never freezes the program. keepGoing() is asked between the waits.
template <typename KeepGoing>
void SettleAfterTurn(engine::Engine& engine, platform::Platform& platform, double turnStartMs,
                     KeepGoing keepGoing) {
    constexpr double IdlePassMs = 50;
    while (engine.slowTurnRunning() && keepGoing())
        platform.waitMs(IdlePassMs);
    if (platform.steadyMs() - turnStartMs < 1.0 && keepGoing())
        platform.waitMs(IdlePassMs);
}

} // namespace panel
