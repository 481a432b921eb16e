#include "vna/PortExchange.h"

#include "platform/Platform.h"

namespace vna {

namespace {

// How often the port is looked at while a reply is awaited: short against a sweep, long
// enough to leave the processor to others.
constexpr double PollMs = 2;

} // namespace

PortExchange::Reply PortExchange::exchange(const QByteArray& request,
                                           const std::function<bool(const QByteArray&)>& whole,
                                           double timeoutMs) {
    Reply reply;
    port_.read(); // stale bytes of an earlier reply are no part of this one
    if (!port_.write(request)) {
        reply.outcome = Outcome::Gone;
        return reply;
    }
    const double deadline = platform_.steadyMs() + timeoutMs;
    for (;;) {
        reply.bytes += port_.read();
        if (whole(reply.bytes)) {
            reply.outcome = Outcome::Complete;
            return reply;
        }
        if (!port_.present()) {
            reply.outcome = Outcome::Gone;
            return reply;
        }
        if (aborted_) {
            reply.outcome = Outcome::Aborted;
            return reply;
        }
        if (platform_.steadyMs() >= deadline)
            return reply;
        platform_.waitMs(PollMs);
    }
}

QString PortExchange::open(const QString& device) {
    aborted_ = false;
    if (port_.isOpen())
        return {};
    const QString why = port_.open(device);
    return why.isEmpty() ? QString() : QStringLiteral("Cannot open the VNA: %1.").arg(why);
}

QString PortExchange::FailureText(const QString& device, Outcome outcome) {
    switch (outcome) {
    case Outcome::Gone:
        return QStringLiteral("The VNA on %1 is gone (unplugged?).").arg(device);
    case Outcome::Aborted:
        return QStringLiteral("The sweep was stopped.");
    case Outcome::Complete:
    case Outcome::Silent:
        break;
    }
    return QStringLiteral("The VNA on %1 does not answer.").arg(device);
}

QByteArray PortExchange::gather(double ms) {
    QByteArray bytes;
    const double deadline = platform_.steadyMs() + ms;
    while (port_.present()) {
        bytes += port_.read();
        if (platform_.steadyMs() >= deadline)
            break;
        platform_.waitMs(PollMs);
    }
    return bytes;
}

} // namespace vna
