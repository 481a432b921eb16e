#include "web/WebStatePush.h"

#include <algorithm>
#include <cmath>

namespace web {

WebStatePush::WebStatePush(platform::Platform& platform, std::function<QByteArray()> state,
                           QObject* parent)
    : QObject(parent), platform_(platform), state_(std::move(state)),
      paceTimer_(platform.createTimer([this] { pushNow(); })),
      // What changes without telling is no hurry: it never brings a push forward.
      pollTimer_(platform.createTimer([this] { pace(MoveIntervalMs, LateMs); })) {}

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
    pace(IntervalMs, 0);
}

void WebStatePush::moved() {
    pace(MoveIntervalMs, LateMs);
}

void WebStatePush::pace(int intervalMs, int lateMs) {
    if (!running_)
        return;
    const double now = platform_.steadyMs();
    const double wait = pushedMs_ + intervalMs - now;
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
    if (message == pushed_)
        return;
    pushed_ = message;
    pushedMs_ = platform_.steadyMs();
    emit push(pushed_);
}

} // namespace web
