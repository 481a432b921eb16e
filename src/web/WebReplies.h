#pragma once

#include "web/WebApi.h"

#include <QJsonValue>
#include <cmath>
#include <optional>

// The API's answers: success with an optional body, or an error's status and words.
namespace web {

inline WebReply Ok(QJsonObject body = {}) {
    body.insert(QStringLiteral("ok"), true);
    return {200, body, {}, {}};
}

inline WebReply Error(int status, const QString& message) {
    return {status, {{QStringLiteral("error"), message}}, {}, {}};
}

inline WebReply BadRequest(const QString& message) {
    return Error(400, message);
}

// A JSON number that is a whole number within [lowest, highest].
inline std::optional<qint64> Whole(const QJsonValue& value, double lowest, double highest) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number) || number < lowest ||
        number > highest)
        return std::nullopt;
    return static_cast<qint64>(number);
}

} // namespace web
