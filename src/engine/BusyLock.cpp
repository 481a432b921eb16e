#include "engine/BusyLock.h"

namespace engine {

BusyLock::BusyLock(platform::Platform& platform, const TurningModes& modes, QObject* parent)
    : QObject(parent), modes_(modes),
      unlockTimer_(platform.createTimer([this] { requestUnlock(); })) {}

void BusyLock::lock() {
    unlockTimer_->stop();
    locked_ = true;
    emit changed(true);
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
    emit changed(false);
}

} // namespace engine
