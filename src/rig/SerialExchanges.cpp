#include "rig/SerialExchanges.h"

#include "rig/RigLogging.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace rig {

SerialExchanges::SerialExchanges(platform::Platform& platform, SerialLink& link, Write write)
    : platform_(platform), link_(&link), write_(std::move(write)),
      quiet_(platform_.createTimer([this] { sendPending(); })),
      reader_(platform_.createTimer([this] { take(); })), limit_(platform_.createTimer([this] {
          if (!std::exchange(againDue_, false)) {
              take(true);
              return;
          }
          // The rig asked for the request again: it goes now.
          limit_->stop();
          onLine_ = false;
          sendPending();
      })),
      rest_(platform_.createTimer([this] { serveTurns(); })),
      reopener_(platform_.createTimer([this] { reopen(); })) {}

SerialExchanges::~SerialExchanges() {
    if (hearing_)
        link_->onArrival({});
}

void SerialExchanges::listen(std::function<void(QByteArray& received)> unasked) {
    unasked_ = std::move(unasked);
}

// --- the line ---

void SerialExchanges::start(int port, const QString& settings) {
    stop();
    port_ = port;
    settings_ = settings;
    traits_ = LineTraits{ParseSerialSettings(settings).value_or(SerialSettings{})};
    quietAtMs_ = 0;
    restedAtMs_ = 0;
    received_.clear();
    started_ = true;
    forgetLoss();
    // A link that listens hears the line from now on; else only while a request is on it.
    hear(bool(unasked_));
}

void SerialExchanges::close() {
    forgetLoss();
    stop();
    started_ = false;
}

void SerialExchanges::forgetLoss() {
    reopener_->stop();
    lostLine_ = false;
    reopenMs_ = ReopenMs;
}

void SerialExchanges::lose(const QString& why) {
    if (!started_ || lostLine_)
        return;
    qCWarning(lcRig).noquote() << "the rig's line" << link_->description() << why
                               << "- reopened ever less often, up to every"
                               << LongestReopenMs / 1000 << "s";
    lostLine_ = true;
    link_->close();
    hear(false);
    abandon();
    received_.clear();
    reopener_->start(reopenMs_);
    if (lost_)
        lost_();
}

void SerialExchanges::reopen() {
    reopener_->stop();
    if (!lostLine_)
        return;
    if (pending_ || !turns_.empty() || !link_->open(port_, settings_).ok) {
        reopenMs_ = std::min(2 * reopenMs_, LongestReopenMs);
        reopener_->start(reopenMs_);
        return;
    }
    qCInfo(lcRig).noquote() << "the rig's line" << link_->description() << "is back";
    start(port_, settings_);
    if (reopened_)
        reopened_();
}

void SerialExchanges::hear(bool on) {
    if (on == hearing_)
        return;
    hearing_ = on;
    if (on) {
        // Replies are taken as they arrive where the line tells; the reader is the fallback.
        reader_->start(ReadEveryMs);
        link_->onArrival([this] { take(); });
    } else {
        reader_->stop();
        link_->onArrival({});
    }
}

// --- turns ---

void SerialExchanges::restFor(double ms) {
    restedAtMs_ = std::max(restedAtMs_, platform_.steadyMs() + ms);
    quietAtMs_ = std::max(quietAtMs_, restedAtMs_);
}

void SerialExchanges::inTurn(std::function<void()> then) {
    turns_.push_back(std::move(then));
    serveTurns();
}

bool SerialExchanges::free() const {
    return turns_.empty() && !pending_ && platform_.steadyMs() >= restedAtMs_;
}

void SerialExchanges::serveTurns() {
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

void SerialExchanges::commandWritten(bool acknowledged) {
    if (acknowledged || traits_.echoes)
        quietAtMs_ = platform_.steadyMs() + traits_.settings.wireTimeMs(5 + 1) + RigLatencyMarginMs;
}

void SerialExchanges::stop() {
    quiet_->stop();
    rest_->stop();
    limit_->stop();
    turns_.clear();
    hear(false);
    pending_.reset();
    onLine_ = false;
    againDue_ = false;
    afterReply_.clear();
}

void SerialExchanges::abandon() {
    abandoning_ = true;
    if (pending_) {
        quiet_->stop();
        received_.clear();
        answer(false);
    }
    serveTurns();
    abandoning_ = false;
}

void SerialExchanges::whenLineFree(std::function<void()> send) {
    if (!onLine_)
        send();
    else
        afterReply_.push_back(std::move(send));
}

// --- requests ---

void SerialExchanges::ask(const QByteArray& request, const QString& name,
                          std::shared_ptr<ReplyTaker> taker) {
    inTurn([this, request, name, taker = std::move(taker)] {
        if (abandoning_) {
            taker->nothing();
            return;
        }
        pending_ = Pending{request, name, taker};
        onLine_ = false;
        sendPending();
    });
}

void SerialExchanges::send(const QByteArray& frame, const QString& name,
                           std::function<void(bool)> written) {
    inTurn([this, frame, name, written = std::move(written)] {
        if (abandoning_ || !link_->isOpen()) {
            written(false);
            return;
        }
        const bool ok = write_(frame, name);
        if (!ok)
            lose(QStringLiteral("cannot be written"));
        written(ok);
    });
}

void SerialExchanges::sendPending() {
    quiet_->stop();
    if (!pending_ || onLine_)
        return;
    // A command sent meanwhile may have made the rig owe an answer again.
    if (const double now = platform_.steadyMs(); now < quietAtMs_) {
        quiet_->start(int(std::ceil(quietAtMs_ - now)));
        return;
    }
    if (!unasked_) {
        // Nobody listens between requests: what came meanwhile is no reply.
        link_->discardInput();
        received_.clear();
    }
    ++pending_->sent;
    if (!write_(pending_->request, pending_->name)) {
        lose(QStringLiteral("cannot be written"));
        // A line that is not taken for lost (the link closing) answers it with nothing too.
        if (pending_ && !onLine_)
            answer(false);
        return;
    }
    onLine_ = true;
    limitAt(pending_->taker->written(pending_->request, traits_, platform_.steadyMs()));
    hear(true);
}

bool SerialExchanges::longReplyOnLine() const {
    return onLine_ && pending_->taker->replyWireMs(traits_) > LongReplyAboveMs;
}

void SerialExchanges::limitAt(double deadlineMs) {
    deadlineMs_ = deadlineMs;
    limit_->start(std::max(0, int(std::ceil(deadlineMs - platform_.steadyMs()))));
}

void SerialExchanges::take(bool limitReached) {
    if (!link_->isOpen()) {
        if (onLine_)
            answer(false);
        return;
    }
    if (link_->bytesWaiting() > 0)
        received_ += link_->readAll();
    for (;;) {
        if (!onLine_) {
            if (unasked_ && !received_.isEmpty())
                unasked_(received_);
            return;
        }
        double now = platform_.steadyMs();
        if (std::exchange(limitReached, false))
            now = std::max(now, deadlineMs_);
        const double deadline = deadlineMs_;
        switch (pending_->taker->take(received_, traits_, now, deadlineMs_)) {
        case ReplyTaker::Step::Waiting:
            if (deadlineMs_ != deadline)
                limitAt(deadlineMs_);
            return;
        case ReplyTaker::Step::Whole:
            answer(true);
            break;
        case ReplyTaker::Step::Again:
            if (pending_->sent >= Tries) {
                answer(false);
                break;
            }
            // A busy rig, a bus that another station used: a moment later. What came after it
            // is still looked at.
            againDue_ = true;
            deadlineMs_ = std::numeric_limits<double>::infinity();
            limit_->start(AgainAfterMs);
            break;
        }
        // What is left goes to the request now on the line, or was said unasked.
        if (!link_->isOpen())
            return;
    }
}

void SerialExchanges::answer(bool withReply) {
    limit_->stop();
    if (!unasked_)
        hear(false);
    const std::shared_ptr<ReplyTaker> taker = std::move(pending_->taker);
    pending_.reset();
    onLine_ = false;
    againDue_ = false;
    // The frames that waited for the line go before anything the answer asks next.
    for (auto& send : std::exchange(afterReply_, {}))
        send();
    if (withReply)
        taker->answer();
    else
        taker->nothing();
    serveTurns();
}

} // namespace rig
