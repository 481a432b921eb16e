#pragma once

#include <QByteArray>

namespace web {

// Follows the bytes of one HTTP connection as they arrive, before the server buffers them,
// and says when a request is too large to be taken: a head above MaxHeadBytes, a body declared
// above MaxBodyBytes, or a body sent in chunks (its size is not declared). Whatever a head says,
// an Upgrade header included, the bytes after it are followed as HTTP: only the server ends the
// following, when it has taken the connection as a WebSocket.
class RequestSizeGuard {
public:
    static constexpr qsizetype MaxHeadBytes = 16 * 1024;
    static constexpr qsizetype MaxBodyBytes = 16 * 1024;
    enum class Verdict { Fine, HeadTooLarge, BodyTooLarge, LengthRequired };

    // The next bytes of the connection; once not Fine, it stays so.
    Verdict feed(const QByteArray& bytes);
    // No part of a request is under way: the last one came whole, or none came yet.
    bool betweenRequests() const { return head_.isEmpty() && bodyLeft_ == 0; }

private:
    Verdict headComplete();

    QByteArray head_;
    qsizetype bodyLeft_ = 0;
    Verdict verdict_ = Verdict::Fine;
};

} // namespace web
