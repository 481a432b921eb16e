#include "engine/TransmitInhibit.h"

#include "engine/EngineLogging.h"

#include <algorithm>

namespace engine {

TransmitInhibit::TransmitInhibit(platform::Platform& platform, port::CoilOutput& coil)
    : platform_(platform), coil_(coil), tail_(platform.createTimer([this] {
          tail_->stop();
          if (holds_ == 0)
              release();
      })) {}

TransmitInhibit::~TransmitInhibit() = default;

void TransmitInhibit::Hold() {
    if (!coil_.inhibit().bit)
        return;
    ++holds_;
    tail_->stop();
    if (coil_.inhibiting())
        return;
    coil_.SetInhibiting(true);
    setAtMs_ = platform_.steadyMs();
    qCDebug(lcEngine) << "transmit inhibited";
}

void TransmitInhibit::Let() {
    if (holds_ == 0 || --holds_ > 0)
        return;
    releaseAtMs_ = platform_.steadyMs() + coil_.inhibit().tailMs;
    tail_->start(std::max(coil_.inhibit().tailMs, 1));
}

double TransmitInhibit::leadLeftMs() const {
    if (!coil_.inhibiting())
        return 0;
    return std::max(0.0, setAtMs_ + coil_.inhibit().leadMs - platform_.steadyMs());
}

void TransmitInhibit::ReleaseAtExit() {
    // A turn the way out stopped still holds it; its last step has been made by now.
    const double releaseAtMs =
        holds_ > 0 ? platform_.steadyMs() + coil_.inhibit().tailMs : releaseAtMs_;
    holds_ = 0;
    tail_->stop();
    if (!coil_.inhibiting())
        return;
    platform_.waitUntil(releaseAtMs, false);
    release();
}

void TransmitInhibit::release() {
    if (!coil_.inhibiting())
        return;
    coil_.SetInhibiting(false);
    qCDebug(lcEngine) << "transmit released";
}

} // namespace engine
