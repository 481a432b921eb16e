#include "core/TextRules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <string>

namespace core {
namespace {

// Formats with the given number of significant digits in the program's notation.
QString formatSignificant(double value, int digits) {
    if (std::isnan(value))
        return QStringLiteral(" NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral(" Inf");
    if (value == 0.0)
        return QStringLiteral(" 0");

    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, std::fabs(value));
    // buffer: d.dddde[+-]xx
    const QString text = QString::fromLatin1(buffer);
    const qsizetype ePos = text.indexOf(QLatin1Char('e'));
    QString mantissa = text.left(ePos);
    mantissa.remove(QLatin1Char('.'));
    while (mantissa.size() > 1 && mantissa.endsWith(QLatin1Char('0')))
        mantissa.chop(1);
    const int exponent = text.mid(ePos + 1).toInt();

    QString body;
    if (exponent > -5 && exponent < digits) {
        if (exponent >= 0) {
            QString intPart = mantissa.left(exponent + 1);
            while (intPart.size() < exponent + 1)
                intPart += QLatin1Char('0');
            const QString fraction = mantissa.mid(exponent + 1);
            body = fraction.isEmpty() ? intPart : intPart + QLatin1Char('.') + fraction;
        } else {
            body = QLatin1Char('.') + QString(-exponent - 1, QLatin1Char('0')) + mantissa;
        }
    } else {
        body = mantissa.left(1);
        if (mantissa.size() > 1)
            body += QLatin1Char('.') + mantissa.mid(1);
        body += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        body += QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    }
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + body;
}

} // namespace

QString NumberText(float value) {
    return formatSignificant(value, 7);
}

QString NumberText(double value) {
    return formatSignificant(value, 15);
}

double ShortestDecimal(float value) {
    char text[32];
    const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), value);
    double shortest = value;
    std::from_chars(text, end.ptr, shortest);
    return shortest;
}

double RoundHalfEven(double value, int decimals) {
    if (!std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, decimals);
    double scaled = value * scale;
    // Drop the binary noise of the scaling (2.675 * 100 = 267.49999999999997) so that a half
    // written in decimal is treated as a half.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", scaled);
    scaled = std::strtod(buffer, nullptr);
    return std::nearbyint(scaled) / scale;
}

std::int32_t RoundToLong(double value) {
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value);
    if (r <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (r >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

std::int16_t RoundToInteger(double value) {
    const std::int32_t r = RoundToLong(value);
    if (r < std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    if (r > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(r);
}

double LeadingNumber(const QString& text) {
    QString compact;
    for (const QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            compact += c;
    }
    qsizetype i = 0;
    const qsizetype n = compact.size();
    auto isDigit = [&](qsizetype k) {
        return k < n && compact[k] >= QLatin1Char('0') && compact[k] <= QLatin1Char('9');
    };
    QString number;
    if (i < n && (compact[i] == QLatin1Char('-') || compact[i] == QLatin1Char('+')))
        number += compact[i++];
    bool anyDigit = false;
    while (isDigit(i)) {
        number += compact[i++];
        anyDigit = true;
    }
    if (i < n && compact[i] == QLatin1Char('.')) {
        number += compact[i++];
        while (isDigit(i)) {
            number += compact[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (i < n && QStringLiteral("eEdD").contains(compact[i])) {
        qsizetype k = i + 1;
        QString exponent = QStringLiteral("e");
        if (k < n && (compact[k] == QLatin1Char('-') || compact[k] == QLatin1Char('+')))
            exponent += compact[k++];
        if (isDigit(k)) {
            while (isDigit(k))
                exponent += compact[k++];
            number += exponent;
        }
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString NumericFieldText(const QString& text) {
    QString kept;
    for (const QChar c : text) {
        if (c == QLatin1Char(','))
            kept += QLatin1Char('.');
        else if (c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            kept += c;
    }
    return kept;
}

} // namespace core
