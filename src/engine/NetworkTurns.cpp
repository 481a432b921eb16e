#include "engine/NetworkTurns.h"

#include "engine/Engine.h"

namespace engine {

NetworkTurns::NetworkTurns(Engine& engine, QObject* parent) : QObject(parent), engine_(engine) {}

void NetworkTurns::Put(QObject* owner, Action action, int kind, bool letFinish) {
    waiting_ = Turn{owner, std::move(action), kind};
    if (driving_) {
        // drive() goes on with this one once the one under way has ended.
        if (!letFinish)
            engine_.StopForAnotherTurn();
    } else if (!driveQueued_) {
        driveQueued_ = true;
        QMetaObject::invokeMethod(this, &NetworkTurns::drive, Qt::QueuedConnection);
    }
}

void NetworkTurns::Stop() {
    waiting_.reset();
    engine_.StopTurningAndFollowing();
}

void NetworkTurns::Drop(const QObject* owner) {
    if (waiting_ && waiting_->owner == owner)
        waiting_.reset();
}

std::optional<int> NetworkTurns::waiting(const QObject* owner) const {
    if (waiting_ && waiting_->owner == owner)
        return waiting_->kind;
    return std::nullopt;
}

std::optional<int> NetworkTurns::running(const QObject* owner) const {
    if (running_ && running_->owner == owner)
        return running_->kind;
    return std::nullopt;
}

void NetworkTurns::drive() {
    driveQueued_ = false;
    if (driving_)
        return;
    driving_ = true;
    const QPointer<NetworkTurns> alive(this);
    while (waiting_) {
        running_ = std::exchange(waiting_, std::nullopt);
        if (running_->owner) {
            engine_.StopForAnotherTurn();
            running_->action();
            if (!alive)
                return;
            if (const Turn ended = *running_; ended.owner)
                emit ran(ended.owner, ended.kind);
        }
        running_.reset();
    }
    driving_ = false;
}

} // namespace engine
