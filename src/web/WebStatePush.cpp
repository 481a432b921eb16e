#include "web/WebStatePush.h"

#include <algorithm>
#include <cmath>

namespace web {

WebStatePush::WebStatePush(platform::Platform& platform, std::function<QByteArray()> state,
                           QObject* parent)
    : QObject(parent), platform_(platform), state_(std::move(state)),
      paceTimer_(platform.createTimer([this] { pushNow(); })),
      pollTimer_(platform.createTimer([this] { changed(); })) {}

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
    if (!running_ || paceTimer_->isActive())
        return;
    const double sincePush = platform_.steadyMs() - pushedMs_;
    if (sincePush >= IntervalMs)
        pushNow();
    else
        paceTimer_->start(std::max(1, int(std::ceil(IntervalMs - sincePush))));
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
