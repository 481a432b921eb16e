#include "tuning/SilentRigAlarm.h"

#include "rig/RigLogging.h"

namespace tuning {

SilentRigAlarm::SilentRigAlarm(platform::Platform& platform, QObject* parent)
    : QObject(parent), timer_(platform.createTimer([this] {
          timer_->stop();
          setRaised(true);
      })) {}

SilentRigAlarm::~SilentRigAlarm() = default;

void SilentRigAlarm::Watch(bool following) {
    watching_ = following;
    if (following) {
        restart();
    } else {
        timer_->stop();
        setRaised(false);
    }
}

void SilentRigAlarm::ReadingCame() {
    if (!watching_)
        return;
    setRaised(false);
    restart();
}

void SilentRigAlarm::restart() {
    if (limitS_ > 0)
        timer_->start(limitS_ * 1000);
}

QString SilentRigAlarm::text() const {
    return raised_ ? QStringLiteral("no reading from the rig for %1 s").arg(limitS_) : QString();
}

void SilentRigAlarm::setRaised(bool raised) {
    if (raised_ == raised)
        return;
    raised_ = raised;
    if (raised)
        qCWarning(lcRig).noquote() << "following: " + text();
    else
        qCInfo(lcRig) << "following: the rig's readings came back";
    emit changed();
}

} // namespace tuning
