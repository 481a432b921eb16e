#pragma once

#include <QByteArray>

namespace web {

// Follows the bytes of one HTTP connection as they arrive, before the server buffers them,
// and says when a request is too large to be taken: a head above MaxHeadBytes, a body declared
// above MaxBodyBytes, or a body sent in chunks (its size is not declared). A WebSocket upgrade
// ends what it follows: the frames are the WebSocket's to bound.
class RequestSizeGuard {
public:
    static constexpr qsizetype MaxHeadBytes = 16 * 1024;
    static constexpr qsizetype MaxBodyBytes = 16 * 1024;
    enum class Verdict { Fine, HeadTooLarge, BodyTooLarge, LengthRequired };

    // The next bytes of the connection; once not Fine, it stays so.
    Verdict feed(const QByteArray& bytes);

private:
    Verdict headComplete();

    QByteArray head_;
    qsizetype bodyLeft_ = 0;
    bool upgraded_ = false;
    Verdict verdict_ = Verdict::Fine;
};

} // namespace web
