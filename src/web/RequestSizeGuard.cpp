#include "web/RequestSizeGuard.h"

#include <QList>
#include <algorithm>

namespace web {

RequestSizeGuard::Verdict RequestSizeGuard::feed(const QByteArray& bytes) {
    qsizetype at = 0;
    while (verdict_ == Verdict::Fine && at < bytes.size()) {
        if (bodyLeft_ > 0) {
            const qsizetype taken = std::min(bodyLeft_, bytes.size() - at);
            bodyLeft_ -= taken;
            at += taken;
            continue;
        }
        // Up to the end of the head: the blank line.
        const qsizetype before = head_.size();
        head_ += bytes.mid(at, MaxHeadBytes + 4);
        const qsizetype end = head_.indexOf("\r\n\r\n", std::max<qsizetype>(0, before - 3));
        if (end < 0) {
            at += head_.size() - before;
            if (head_.size() > MaxHeadBytes)
                verdict_ = Verdict::HeadTooLarge;
            continue;
        }
        at += end + 4 - before;
        head_.truncate(end);
        verdict_ = headComplete();
        head_.clear();
    }
    return verdict_;
}

RequestSizeGuard::Verdict RequestSizeGuard::headComplete() {
    if (head_.size() > MaxHeadBytes)
        return Verdict::HeadTooLarge;
    const QList<QByteArray> lines = head_.split('\n');
    bool askedClose = false;
    bool askedKeepAlive = false;
    qlonglong declared = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            bool ok = false;
            const qlonglong length = value.toLongLong(&ok);
            if (!ok || length < 0)
                return Verdict::LengthRequired;
            if (declared >= 0 && length != declared)
                return Verdict::LengthsDisagree;
            declared = length;
            if (length > MaxBodyBytes)
                return Verdict::BodyTooLarge;
            bodyLeft_ = qsizetype(length);
        } else if (name == "transfer-encoding" && value.toLower() != "identity") {
            return Verdict::LengthRequired;
        } else if (name == "connection") {
            for (const QByteArray& option : value.split(',')) {
                askedClose |= option.trimmed().compare("close", Qt::CaseInsensitive) == 0;
                askedKeepAlive |= option.trimmed().compare("keep-alive", Qt::CaseInsensitive) == 0;
            }
        }
    }
    // Persistence is HTTP/1.1's default; an HTTP/1.0 client reads the answer to the end of the
    // connection unless it asked to keep it.
    const bool oldClient = lines.front().trimmed().endsWith("HTTP/1.0");
    keepAlive_.push_back(!askedClose && (askedKeepAlive || !oldClient));
    return Verdict::Fine;
}

bool RequestSizeGuard::takeKeepAlive() {
    if (keepAlive_.empty())
        return true;
    const bool keep = keepAlive_.front();
    keepAlive_.pop_front();
    return keep;
}

} // namespace web
