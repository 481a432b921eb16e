#pragma once

#include "engine/TurningModes.h"
#include "platform/Platform.h"

#include <QObject>
#include <memory>

namespace engine {

// The main window's busy lock: while a turn runs the parameter fields are read-only and the
// parameter, overlay and goto buttons disabled. Three states: unlocked, locked, unlock pending.
// An unlock request while shuttle or pulse mode runs is ignored; otherwise the first request
// starts a 2.5 s wait and the next request (the wait's end, or any earlier one) unlocks. A lock
// cancels a pending unlock.
class BusyLock : public QObject {
    Q_OBJECT

public:
    static constexpr int UnlockDelayMs = 2500;

    BusyLock(platform::Platform& platform, const TurningModes& modes, QObject* parent = nullptr);

    bool isLocked() const { return locked_; }
    bool unlockPending() const { return unlockTimer_->isActive(); }

    void lock();
    void requestUnlock();

signals:
    // The lock was applied or released.
    void changed(bool locked);

private:
    const TurningModes& modes_;
    std::unique_ptr<platform::Timer> unlockTimer_;
    bool locked_ = false;
};

} // namespace engine
