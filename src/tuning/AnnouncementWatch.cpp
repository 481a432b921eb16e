#include "tuning/AnnouncementWatch.h"

#include "rig/RigLogging.h"

#include <utility>

namespace tuning {

void AnnouncementWatch::Reset() {
    heard_ = false;
    dial_.reset();
    unannounced_ = 0;
    if (std::exchange(stopped_, false))
        emit changed();
}

void AnnouncementWatch::Announced(std::optional<float> kHz) {
    heard_ = true;
    if (kHz)
        dial_ = kHz;
    unannounced_ = 0;
    setStopped(false);
}

void AnnouncementWatch::Sent(float kHz) {
    dial_ = kHz;
    unannounced_ = 0;
}

void AnnouncementWatch::Polled(float kHz) {
    if (!heard_ || stopped_)
        return;
    if (!dial_ || dial_ == kHz) {
        dial_ = kHz;
        unannounced_ = 0;
        return;
    }
    if (++unannounced_ >= UnannouncedPolls)
        setStopped(true);
}

void AnnouncementWatch::Unanswered() {
    dial_.reset();
    unannounced_ = 0;
}

QString AnnouncementWatch::text() const {
    return stopped_ ? QStringLiteral("announcements stopped; polling carries following")
                    : QString();
}

void AnnouncementWatch::setStopped(bool stopped) {
    if (stopped_ == stopped)
        return;
    stopped_ = stopped;
    if (stopped)
        qCWarning(lcRig).noquote() << "following: " + text();
    else
        qCInfo(lcRig) << "following: the rig's announcements came back";
    emit changed();
}

} // namespace tuning
