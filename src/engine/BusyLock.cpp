#include "engine/BusyLock.h"

namespace engine {

BusyLock::BusyLock(platform::Platform& platform, const TurningModes& modes,
                   std::function<void(bool locked)> changed)
    : modes_(modes), changed_(std::move(changed)),
      unlockTimer_(platform.createTimer([this] { requestUnlock(); })) {}

void BusyLock::lock() {
    unlockTimer_->stop();
    locked_ = true;
    changed_(true);
}

void BusyLock::requestUnlock() {
    if (modes_.shuttleOn || modes_.pulsOn)
        return;
    if (!unlockTimer_->isActive()) {
        unlockTimer_->start(UnlockDelayMs);
        return;
    }
    unlockTimer_->stop();
    locked_ = false;
    changed_(false);
}

} // namespace engine
