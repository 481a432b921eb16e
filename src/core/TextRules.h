#pragma once

#include <QString>
#include <concepts>
#include <cstdint>

// The number and text rules every window and file shares.
namespace core {

// The line break of the program's messages and logs.
inline const QString CrLf = QStringLiteral("\r\n");

// Number to text: one leading blank when not negative, no zero before the point
// (0.5 -> " .5", -0.5 -> "-.5"), no trailing zeros. A float is printed with up to 7 significant
// digits, a double with up to 15; beyond that range the text is in exponent form (" 1E+20").
QString NumberText(float value);
QString NumberText(double value);
template <std::integral T> QString NumberText(T value) {
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}
// The same without the leading blank.
template <typename T> QString PlainNumberText(T value) {
    QString text = NumberText(value);
    if (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    return text;
}

// The double nearest to the float's shortest decimal text, which reads back as the same float:
// 7074.2 for the float of 7074.2 (itself 7074.2001953125), 14250.125 for 14250.125.
double ShortestDecimal(float value);

// Rounds halves to even, to a whole number or to the given number of decimals.
double RoundHalfEven(double value, int decimals = 0);
// Rounds halves to even to a 32-bit whole number; values beyond its range are held at its ends.
std::int32_t RoundToLong(double value);
// The same for a 16-bit whole number.
std::int16_t RoundToInteger(double value);

// The numeric value of a text: its leading number ("12.5 Sec" -> 12.5, "1.5.3" -> 1.5),
// 0 when it starts with no number ("abc" -> 0). Blanks, tabs and line feeds are ignored.
double LeadingNumber(const QString& text);

// Keeps what a numeric entry field accepts: digits and ".", with "," turned into ".".
QString NumericFieldText(const QString& text);

} // namespace core
