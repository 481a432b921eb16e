#pragma once

#include "rig/SerialSettings.h"

#include <QByteArray>

namespace rig {

// What is known of the line a request goes out on, kept by its queue from one request to the
// next.
struct LineTraits {
    SerialSettings settings;
    int paceMs = 0;      // the pause between reply bytes of a rig that paces its replies
    bool echoes = false; // the line gave the last request back ahead of its reply
};

// How a request knows its reply among the bytes the line brings: by its length (the Yaesu binary
// protocol) or by a message's framing and what it answers (CI-V, the Kenwood family). Each
// request on the queue carries its own, which also tells the request's answer, once.
class ReplyTaker {
public:
    enum class Step {
        Waiting, // not whole yet, and its time not up
        Whole,   // its reply came, or its time is up: answer() tells what came
        Again,   // the rig could not take the request: it is sent again a moment later
    };
    virtual ~ReplyTaker() = default;

    // The request was just written at nowMs: by when its reply must have begun (or come).
    virtual double written(const QByteArray& request, const LineTraits& line, double nowMs) = 0;
    // Takes what is its from the front of received (what it leaves there is not its reply);
    // deadlineMs may be moved on as its reply comes. The time is up once nowMs reaches it.
    virtual Step take(QByteArray& received, LineTraits& line, double nowMs, double& deadlineMs) = 0;
    // Its reply as taken, after Whole.
    virtual void answer() = 0;
    // No reply: never written, the line lost, the link closed, the rig busy every time.
    virtual void nothing() = 0;
    // How long its reply takes on the wire: a long one holds commands off while it comes.
    virtual double replyWireMs(const LineTraits& line) const {
        (void)line;
        return 0;
    }
};

} // namespace rig
