#pragma once

#include <QByteArray>
#include <deque>

namespace web {

// Follows the bytes of one HTTP connection as they arrive, before the server buffers them,
// and says when a request is too large to be taken: a head above MaxHeadBytes, a body declared
// above MaxBodyBytes, a body sent in chunks (its size is not declared), or one whose
// Content-Length headers disagree (the server would read a body of another length than the
// guard follows, and the bytes after it as another request). Whatever a head says,
// an Upgrade header included, the bytes after it are followed as HTTP: only the server ends the
// following, when it has taken the connection as a WebSocket.
class RequestSizeGuard {
public:
    static constexpr qsizetype MaxHeadBytes = 16 * 1024;
    static constexpr qsizetype MaxBodyBytes = 16 * 1024;
    enum class Verdict { Fine, HeadTooLarge, BodyTooLarge, LengthRequired, LengthsDisagree };

    // The next bytes of the connection; once not Fine, it stays so.
    Verdict feed(const QByteArray& bytes);
    // No part of a request is under way: the last one came whole, or none came yet.
    bool betweenRequests() const { return head_.isEmpty() && bodyLeft_ == 0; }
    // Whether the connection stays open after the answer to the oldest request not yet asked
    // about: HTTP/1.1 unless it says "Connection: close", HTTP/1.0 only when it says
    // "Connection: keep-alive". True when no whole head has come.
    bool takeKeepAlive();

private:
    Verdict headComplete();

    QByteArray head_;
    std::deque<bool> keepAlive_; // one for each head not yet answered, in order
    qsizetype bodyLeft_ = 0;
    Verdict verdict_ = Verdict::Fine;
};

} // namespace web
