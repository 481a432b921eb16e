#include "rig/LengthReply.h"

#include "rig/SerialExchanges.h"

#include <utility>

namespace rig {

double LengthReply::written(const QByteArray& request, const LineTraits& line, double nowMs) {
    request_ = request;
    phase_ = Phase::First;
    wanted_ = replyLength_ + (line.echoes ? request.size() : 0);
    return nowMs + line.settings.wireTimeMs(5 + 1) + RigLatencyMarginMs;
}

double LengthReply::replyWireMs(const LineTraits& line) const {
    return line.settings.wireTimeMs(replyLength_) + line.paceMs * double(replyLength_ - 1);
}

double LengthReply::restMs(const LineTraits& line, qint64 count) const {
    return line.settings.wireTimeMs(int(count) - 1) + line.paceMs * double(count - 1) +
           RigLatencyMarginMs;
}

ReplyTaker::Step LengthReply::take(QByteArray& received, LineTraits& line, double nowMs,
                                   double& deadlineMs) {
    switch (phase_) {
    case Phase::First:
        if (received.isEmpty())
            return nowMs >= deadlineMs ? conclude(received, line) : Step::Waiting;
        // The rest of the reply is timed from its first byte.
        phase_ = Phase::Rest;
        deadlineMs = nowMs + restMs(line, wanted_);
        [[fallthrough]];
    case Phase::Rest: {
        if (received.size() < wanted_ && nowMs < deadlineMs)
            return Step::Waiting;
        // A line that echoes (as some level converters do) gives the request back ahead of the
        // reply, perhaps after the echo of an earlier command.
        const qsizetype echoAt = received.indexOf(request_);
        const qsizetype echoed = echoAt + request_.size() + replyLength_;
        if (echoAt >= 0 && received.size() < echoed) {
            phase_ = Phase::Echo;
            wanted_ = echoed;
            deadlineMs = nowMs + restMs(line, replyLength_);
            return Step::Waiting;
        }
        return conclude(received, line);
    }
    case Phase::Echo:
        if (received.size() >= wanted_ || nowMs >= deadlineMs)
            return conclude(received, line);
        return Step::Waiting;
    }
    return Step::Waiting;
}

ReplyTaker::Step LengthReply::conclude(QByteArray& received, LineTraits& line) {
    line.echoes = received.indexOf(request_) >= 0;
    reply_.received = std::exchange(received, {});
    // Whatever came ahead of the reply (an acknowledgement that was late, an echo) is dropped.
    reply_.bytes = reply_.received.right(replyLength_);
    reply_.complete = reply_.bytes.size() == replyLength_;
    return Step::Whole;
}

} // namespace rig
