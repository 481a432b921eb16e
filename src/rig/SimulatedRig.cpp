#include "rig/SimulatedRig.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace rig {

SimulatedRig::SimulatedRig(platform::Platform& platform, Model model)
    : platform_(platform), rig_(model), arrivalTimer_(platform_.createTimer([this] {
          awaitNextArrival();
          if (const std::function<void()> listener = arrivalListener_)
              listener();
      })) {}

LinkOpenResult SimulatedRig::open(int /*port*/, const QString& settings) {
    close();
    if (!openError_.isEmpty()) {
        const QString error = openError_;
        openError_.clear();
        return {false, error};
    }
    const std::optional<SerialSettings> parsed = ParseSerialSettings(settings);
    if (!parsed)
        return {false, QStringLiteral("Invalid line settings \"%1\"").arg(settings)};
    settings_ = parsed;
    if (followed_)
        rig_.setModel(ToModel(followed_->RigModel));
    toRigFreeAtMs_ = fromRigFreeAtMs_ = platform_.steadyMs();
    // As a real port on Linux: opening raises RTS and DTR.
    rts_ = dtr_ = true;
    rig_.setLines(rts_, dtr_);
    return {true, {}};
}

void SimulatedRig::close() {
    settings_.reset();
    incoming_.clear();
    arrivalTimer_->stop();
    rts_ = dtr_ = false;
    rig_.setLines(false, false);
}

QString SimulatedRig::description() const {
    return QStringLiteral("Simulated rig (%1)").arg(Caps(rig_.model()).name);
}

bool SimulatedRig::setRts(bool on) {
    if (!isOpen())
        return false;
    rts_ = on;
    rig_.setLines(rts_, dtr_);
    return true;
}

bool SimulatedRig::setDtr(bool on) {
    if (!isOpen())
        return false;
    dtr_ = on;
    rig_.setLines(rts_, dtr_);
    return true;
}

qint64 SimulatedRig::arrived() const {
    const double now = platform_.steadyMs();
    const auto firstLater = std::find_if(incoming_.begin(), incoming_.end(),
                                         [now](const Arrival& a) { return a.atMs > now; });
    return firstLater - incoming_.begin();
}

qint64 SimulatedRig::bytesWaiting() {
    return isOpen() ? arrived() : 0;
}

void SimulatedRig::discardInput() {
    incoming_.erase(incoming_.begin(), incoming_.begin() + arrived());
}

QByteArray SimulatedRig::readAll() {
    const qint64 count = arrived();
    QByteArray bytes;
    for (qint64 i = 0; i < count; ++i)
        bytes.append(incoming_[i].byte);
    incoming_.erase(incoming_.begin(), incoming_.begin() + count);
    return bytes;
}

bool SimulatedRig::write(const QByteArray& bytes) {
    if (!isOpen() || failWrites_)
        return false;
    written_ += bytes;
    const double charMs = settings_->wireTimeMs(1);
    double at = std::max(platform_.steadyMs(), toRigFreeAtMs_);
    for (const char byte : bytes) {
        at += charMs;
        if (dialTurn_ && at >= dialTurn_->atMs)
            rig_.setFrequency(std::exchange(dialTurn_, {})->kHz);
        if (keying_ && at >= keying_->atMs)
            rig_.setTransmit(std::exchange(keying_, {})->on);
        if (silent_)
            continue;
        if (echo_) {
            const auto later =
                std::upper_bound(incoming_.begin(), incoming_.end(), at,
                                 [](double t, const Arrival& arrival) { return t < arrival.atMs; });
            incoming_.insert(later, {at, byte});
        }
        QByteArray reply = rig_.receive(QByteArray(1, byte));
        if (reply.isEmpty())
            continue;
        const auto opcode = static_cast<std::uint8_t>(rig_.framesReceived().back().at(4));
        if (replacement_ && (!replacementOpcode_ || *replacementOpcode_ == opcode)) {
            reply = *replacement_;
            replacement_.reset();
        }
        sendReply(reply, at + latencyMs_);
    }
    toRigFreeAtMs_ = at;
    awaitNextArrival();
    return true;
}

void SimulatedRig::onArrival(std::function<void()> arrived) {
    arrivalListener_ = std::move(arrived);
    awaitNextArrival();
}

void SimulatedRig::awaitNextArrival() {
    arrivalTimer_->stop();
    const double now = platform_.steadyMs();
    const auto next = std::find_if(incoming_.begin(), incoming_.end(),
                                   [now](const Arrival& a) { return a.atMs > now; });
    if (!arrivalListener_ || next == incoming_.end())
        return;
    arrivalTimer_->start(int(std::ceil(next->atMs - now)));
}

void SimulatedRig::sendReply(const QByteArray& reply, double startMs) {
    const double charMs = settings_->wireTimeMs(1);
    double at = std::max(startMs, fromRigFreeAtMs_);
    for (qsizetype i = 0; i < reply.size(); ++i) {
        if (i > 0)
            at += rig_.replyPacingMs();
        at += charMs;
        incoming_.push_back({at, reply[i]});
    }
    fromRigFreeAtMs_ = at;
}

} // namespace rig
