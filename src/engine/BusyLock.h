#pragma once

#include "engine/TurningModes.h"
#include "platform/Platform.h"

#include <functional>
#include <memory>

namespace engine {

// The main window's busy lock: while a turn runs the parameter fields are read-only and the
// parameter, overlay and goto buttons disabled. Three states: unlocked, locked, unlock pending.
// An unlock request while shuttle or pulse mode runs is ignored; otherwise the first request
// starts a 2.5 s wait and the next request (the wait's end, or any earlier one) unlocks. A lock
// cancels a pending unlock.
class BusyLock {
public:
    static constexpr int UnlockDelayMs = 2500;

    // changed(locked) runs whenever the lock is applied or released.
    BusyLock(platform::Platform& platform, const TurningModes& modes,
             std::function<void(bool locked)> changed);

    bool isLocked() const { return locked_; }
    bool unlockPending() const { return unlockTimer_->isActive(); }

    void lock();
    void requestUnlock();

private:
    const TurningModes& modes_;
    std::function<void(bool)> changed_;
    std::unique_ptr<platform::Timer> unlockTimer_;
    bool locked_ = false;
};

} // namespace engine
