#include "program/TimerRecord.h"

#include "core/TextRules.h"

#include <cmath>

namespace program {

bool IsClockTime(const QString& text) {
    if (text.size() != 8 || text[2] != QLatin1Char(':') || text[5] != QLatin1Char(':'))
        return false;
    const auto twoDigits = [&](int at, int max) {
        const QChar tens = text[at];
        const QChar ones = text[at + 1];
        if (tens < QLatin1Char('0') || tens > QLatin1Char('9') || ones < QLatin1Char('0') ||
            ones > QLatin1Char('9'))
            return false;
        return (tens.unicode() - '0') * 10 + (ones.unicode() - '0') <= max;
    };
    return twoDigits(0, 23) && twoDigits(3, 59) && twoDigits(6, 59);
}

std::optional<core::Long> PositionOf(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return core::RoundToLong(value);
}

} // namespace program
