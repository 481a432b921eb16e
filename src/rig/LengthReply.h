#pragma once

#include "rig/ReplyTaker.h"

#include <functional>

namespace rig {

// What came back for a request: every byte received, and the reply taken from them (the last
// replyLength bytes, or all when fewer came).
struct ExchangeReply {
    QByteArray received;
    QByteArray bytes;
    bool complete = false;
};

// The reply of a Yaesu binary CAT request, which has no framing: it is known by the length the
// request gets. Its first byte comes within the wire time of the request and one byte plus
// RigLatencyMarginMs, the rest within its own wire time (plus the pacing between bytes of a rig
// that paces its replies) plus RigLatencyMarginMs. A line that gives the request back ahead of
// the reply is recognised, and of a reply longer than expected the last bytes are taken.
class LengthReply final : public ReplyTaker {
public:
    using Answer = std::function<void(const ExchangeReply& reply)>;
    LengthReply(int replyLength, Answer answer)
        : replyLength_(replyLength), answer_(std::move(answer)) {}

    double written(const QByteArray& request, const LineTraits& line, double nowMs) override;
    Step take(QByteArray& received, LineTraits& line, double nowMs, double& deadlineMs) override;
    void answer() override { answer_(reply_); }
    void nothing() override { answer_({}); }
    double replyWireMs(const LineTraits& line) const override;

private:
    enum class Phase { First, Rest, Echo };
    Step conclude(QByteArray& received, LineTraits& line);
    double restMs(const LineTraits& line, qint64 count) const;

    int replyLength_;
    Answer answer_;
    QByteArray request_;
    Phase phase_ = Phase::First;
    qint64 wanted_ = 0;
    ExchangeReply reply_;
};

} // namespace rig
