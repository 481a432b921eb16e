#include "web/WebStatePush.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace web {

WebStatePush::WebStatePush(platform::Platform& platform, std::function<QByteArray()> state,
                           QObject* parent)
    : QObject(parent), platform_(platform), state_(std::move(state)),
      paceTimer_(platform.createTimer([this] { pushNow(); })),
      // What changes without telling is no hurry: it never brings a push forward.
      pollTimer_(platform.createTimer([this] { pace(pushedMs_ + MoveIntervalMs, LateMs); })) {}

WebStatePush::~WebStatePush() = default;

void WebStatePush::start() {
    if (running_)
        return;
    running_ = true;
    pushed_.clear();
    pollTimer_->start(PollMs);
}

void WebStatePush::stop() {
    running_ = false;
    paceTimer_->stop();
    pollTimer_->stop();
}

void WebStatePush::changed() {
    pace(pushedMs_ + IntervalMs, 0);
}

void WebStatePush::moved() {
    moveWaiting_ = true;
    pace(movePushedMs_ + MoveIntervalMs, LateMs);
}

void WebStatePush::pace(double earliestMs, int lateMs) {
    if (!running_)
        return;
    const double now = platform_.steadyMs();
    const double wait = earliestMs - now;
    if (wait <= 0) {
        pushNow();
        return;
    }
    // A move never puts off what another change brought forward.
    const int dueInMs = std::max(1, int(std::ceil(wait))) + lateMs;
    if (!paceTimer_->isActive() || now + dueInMs < timerDueMs_) {
        paceTimer_->start(dueInMs);
        timerDueMs_ = now + dueInMs;
    }
}

QByteArray WebStatePush::current() {
    pushed_ = state_();
    return pushed_;
}

void WebStatePush::pushNow() {
    paceTimer_->stop();
    QByteArray message = state_();
    const bool carriesMove = std::exchange(moveWaiting_, false);
    if (message == pushed_)
        return;
    pushed_ = message;
    pushedMs_ = platform_.steadyMs();
    if (carriesMove)
        movePushedMs_ = pushedMs_;
    emit push(pushed_);
}

} // namespace web
