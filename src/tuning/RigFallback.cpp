#include "tuning/RigFallback.h"

#include "rig/RigLogging.h"

#include <utility>

namespace tuning {

RigFallback::RigFallback(platform::Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform),
      silence_(platform_.createTimer([this] { switchOver(); })),
      poll_(platform_.createTimer([this] {
          if (link_ && active_)
              (void)link_->requestReading();
      })) {}

RigFallback::~RigFallback() {
    close();
}

void RigFallback::setLink(const FallbackChoice& choice, rig::RigConnection* link) {
    Watch(false);
    if (link_)
        disconnect(link_, nullptr, this, nullptr);
    choice_ = choice;
    link_ = choice.link ? link : nullptr;
    if (!link_)
        return;
    const auto take = [this](const rig::RigReading& reading) {
        if (active_)
            emit readingArrived(reading);
    };
    connect(link_, &rig::RigConnection::readingArrived, this, take);
    connect(link_, &rig::RigConnection::readingAnnounced, this, take);
}

void RigFallback::Watch(bool on, const QString& first, int port, int pollMs) {
    on = on && link_;
    if (on == watching_)
        return;
    watching_ = on;
    first_ = first;
    port_ = port;
    pollMs_ = pollMs;
    if (on) {
        silence_->start(SwitchAfterMs);
        return;
    }
    silence_->stop();
    close();
}

void RigFallback::FirstHeard() {
    if (!watching_)
        return;
    silence_->start(SwitchAfterMs);
    if (!active_)
        return;
    qCInfo(lcRig).noquote() << QStringLiteral("following: %1 gives readings again: back from "
                                              "the fallback link %2")
                                   .arg(first_, choice_.text());
    close();
}

QString RigFallback::text() const {
    return active_ ? QStringLiteral("following the fallback link %1: no reading from %2")
                         .arg(choice_.text(), first_)
                   : QString();
}

void RigFallback::switchOver() {
    silence_->stop();
    if (!watching_ || active_)
        return;
    qCWarning(lcRig).noquote()
        << QStringLiteral("following: no reading from %1 for %2 s: following the fallback "
                          "link %3")
               .arg(first_)
               .arg(SwitchAfterMs / 1000)
               .arg(choice_.text());
    // One that does not open (the user was told why) is not tried again until following
    // starts anew: the message is not repeated every few seconds.
    if (!link_->isOpen() && !link_->open(port_).ok)
        return;
    active_ = true;
    poll_->start(pollMs_);
    (void)link_->requestReading();
    emit changed();
}

void RigFallback::close() {
    poll_->stop();
    if (!std::exchange(active_, false))
        return;
    link_->close();
    emit changed();
}

} // namespace tuning
