#include "rig/CatExchanges.h"

#include "rig/CatCodec.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace rig {

CatExchanges::CatExchanges(platform::Platform& platform, SerialLink& link, Write write)
    : platform_(platform), link_(&link), write_(std::move(write)),
      quiet_(platform_.createTimer([this] { sendPending(); })),
      reader_(platform_.createTimer([this] { take(); })),
      limit_(platform_.createTimer([this] { take(); })),
      rest_(platform_.createTimer([this] { serveTurns(); })) {}

CatExchanges::~CatExchanges() {
    if (pending_)
        link_->onArrival({});
}

void CatExchanges::start(const SerialSettings& line) {
    stop();
    line_ = line;
    paceMs_ = 0;
    quietAtMs_ = 0;
    restedAtMs_ = 0;
    echo_ = false;
}

void CatExchanges::restFor(double ms) {
    restedAtMs_ = std::max(restedAtMs_, platform_.steadyMs() + ms);
    quietAtMs_ = std::max(quietAtMs_, restedAtMs_);
}

void CatExchanges::inTurn(std::function<void()> then) {
    turns_.push_back(std::move(then));
    serveTurns();
}

bool CatExchanges::free() const {
    return turns_.empty() && !pending_ && platform_.steadyMs() >= restedAtMs_;
}

void CatExchanges::serveTurns() {
    rest_->stop();
    // A turn may run the event loop for long (a listener told a reading turns the stepper): what
    // it asks for meanwhile is served from within it, the queue's front always next.
    while (!turns_.empty() && !pending_) {
        if (const double now = platform_.steadyMs(); !abandoning_ && now < restedAtMs_) {
            rest_->start(int(std::ceil(restedAtMs_ - now)));
            return;
        }
        const std::function<void()> then = std::move(turns_.front());
        turns_.pop_front();
        then();
    }
}

void CatExchanges::commandWritten(bool acknowledged) {
    if (acknowledged || echo_)
        quietAtMs_ = platform_.steadyMs() + line_.wireTimeMs(5 + 1) + RigLatencyMarginMs;
}

void CatExchanges::stop() {
    quiet_->stop();
    rest_->stop();
    turns_.clear();
    reader_->stop();
    limit_->stop();
    if (pending_)
        link_->onArrival({});
    pending_.reset();
    phase_ = Phase::Quiet;
    afterReply_.clear();
}

void CatExchanges::abandon() {
    abandoning_ = true;
    if (pending_) {
        quiet_->stop();
        received_.clear();
        answerWith({});
    }
    serveTurns();
    abandoning_ = false;
}

void CatExchanges::whenLineFree(std::function<void()> send) {
    if (phase_ == Phase::Quiet)
        send();
    else
        afterReply_.push_back(std::move(send));
}

void CatExchanges::ask(const Frame& request, const char* name, int replyLength, Answer answer) {
    inTurn([this, request, name, replyLength, answer = std::move(answer)]() mutable {
        if (abandoning_) {
            answer({});
            return;
        }
        pending_ = Pending{request, FrameBytes(request), name, replyLength, std::move(answer)};
        phase_ = Phase::Quiet;
        sendPending();
    });
}

void CatExchanges::sendPending() {
    quiet_->stop();
    if (!pending_ || phase_ != Phase::Quiet)
        return;
    // A command sent meanwhile may have made the rig owe an answer again.
    if (const double now = platform_.steadyMs(); now < quietAtMs_) {
        quiet_->start(int(std::ceil(quietAtMs_ - now)));
        return;
    }
    link_->discardInput();
    if (!write_(pending_->frame, pending_->name)) {
        answerWith({});
        return;
    }
    received_.clear();
    wanted_ = pending_->replyLength + (echo_ ? pending_->frameBytes.size() : 0);
    phase_ = Phase::First;
    limitAt(platform_.steadyMs() + line_.wireTimeMs(5 + 1) + RigLatencyMarginMs);
    reader_->start(ReadEveryMs);
    link_->onArrival([this] { take(); });
}

bool CatExchanges::longReplyOnLine() const {
    if (!onLine())
        return false;
    const int length = pending_->replyLength;
    return line_.wireTimeMs(length) + paceMs_ * double(length - 1) > LongReplyAboveMs;
}

double CatExchanges::restMs(qint64 count) const {
    return line_.wireTimeMs(int(count) - 1) + paceMs_ * double(count - 1) + RigLatencyMarginMs;
}

void CatExchanges::limitAt(double deadlineMs) {
    deadlineMs_ = deadlineMs;
    limit_->start(std::max(0, int(std::ceil(deadlineMs - platform_.steadyMs()))));
}

void CatExchanges::take() {
    if (!pending_ || phase_ == Phase::Quiet)
        return;
    if (!link_->isOpen()) {
        conclude();
        return;
    }
    if (link_->bytesWaiting() > 0)
        received_ += link_->readAll();
    const double now = platform_.steadyMs();
    const bool timeUp = now >= deadlineMs_;
    switch (phase_) {
    case Phase::Quiet:
        return;
    case Phase::First:
        if (received_.isEmpty()) {
            if (timeUp)
                conclude();
            return;
        }
        // The rest of the reply is timed from its first byte.
        phase_ = Phase::Rest;
        limitAt(now + restMs(wanted_));
        [[fallthrough]];
    case Phase::Rest: {
        if (received_.size() < wanted_ && now < deadlineMs_)
            return;
        // A line that echoes (as some level converters do) gives the request back ahead of the
        // reply, perhaps after the echo of an earlier command.
        const qsizetype echoAt = received_.indexOf(pending_->frameBytes);
        const qsizetype echoed = echoAt + pending_->frameBytes.size() + pending_->replyLength;
        if (echoAt >= 0 && received_.size() < echoed) {
            phase_ = Phase::Echo;
            wanted_ = echoed;
            limitAt(now + restMs(pending_->replyLength));
            return;
        }
        conclude();
        return;
    }
    case Phase::Echo:
        if (received_.size() >= wanted_ || timeUp)
            conclude();
        return;
    }
}

void CatExchanges::conclude() {
    echo_ = received_.indexOf(pending_->frameBytes) >= 0;
    ExchangeReply reply;
    reply.received = std::exchange(received_, {});
    // Whatever came ahead of the reply (an acknowledgement that was late, an echo) is dropped.
    reply.bytes = reply.received.right(pending_->replyLength);
    reply.complete = reply.bytes.size() == pending_->replyLength;
    answerWith(reply);
}

void CatExchanges::answerWith(const ExchangeReply& reply) {
    reader_->stop();
    limit_->stop();
    link_->onArrival({});
    Answer answer = std::move(pending_->answer);
    pending_.reset();
    phase_ = Phase::Quiet;
    // The frames that waited for the line go before anything the answer asks next.
    for (auto& send : std::exchange(afterReply_, {}))
        send();
    answer(reply);
    serveTurns();
}

} // namespace rig
