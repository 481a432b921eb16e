#include "program/ProgramLanguage.h"

#include "core/Degrees.h"
#include "core/TextRules.h"

#include <algorithm>

namespace program {

ProgramValue ParseValue(const QString& value) {
    ProgramValue parsed;
    parsed.number = core::LeadingNumber(value);
    if (value.contains(QLatin1Char('!')))
        parsed.kind = ProgramValue::Kind::Pause;
    else if (value.contains(QLatin1Char('#')))
        parsed.kind = ProgramValue::Kind::Speed;
    else if (value.contains(QLatin1Char('*')))
        parsed.kind = ProgramValue::Kind::Degrees;
    return parsed;
}

bool HasNumber(const QString& value) {
    const qsizetype digit = value.startsWith(QLatin1Char('.')) ? 1 : 0;
    return value.size() > digit && value[digit].isDigit();
}

QStringList ProgramValues(const QString& text) {
    QStringList values = text.split(QLatin1Char(','));
    if (text.endsWith(QLatin1Char(',')))
        values.removeLast();
    return values;
}

bool HasPositionValue(const QString& text) {
    const QStringList values = ProgramValues(text);
    return std::any_of(values.begin(), values.end(), [](const QString& value) {
        const auto kind = ParseValue(value).kind;
        return kind == ProgramValue::Kind::Position || kind == ProgramValue::Kind::Degrees;
    });
}

QString FilterProgramText(const QString& text) {
    static const QString kept = QStringLiteral("0123456789,.!#*");
    QString filtered;
    for (const QChar c : text.toLower()) {
        if (kept.contains(c))
            filtered += c;
    }
    return filtered;
}

core::Long TargetOf(const ProgramValue& value, core::Single stepsPer360, core::Long minPosition,
                    core::Long maxPosition) {
    const core::Long steps =
        value.kind == ProgramValue::Kind::Degrees && stepsPer360 > 0
            ? core::DegreesToSteps(value.number, core::DegreesPerStepOf(stepsPer360))
            : core::RoundToLong(value.number);
    // Not std::clamp: limits set the wrong way round must not be undefined behaviour.
    if (steps > maxPosition)
        return maxPosition;
    return std::max(steps, minPosition);
}

core::Long PauseOf(const ProgramValue& value) {
    return static_cast<core::Long>(std::min<double>(core::RoundHalfEven(value.number), MaxPauseMs));
}

core::Long SpeedDelayOf(const ProgramValue& value, core::Long fastestDelayMs, bool* clamped) {
    const double delay = core::RoundHalfEven(value.number);
    *clamped = true;
    if (delay < fastestDelayMs)
        return fastestDelayMs;
    if (delay > MaxSpeedDelayMs)
        return MaxSpeedDelayMs;
    *clamped = false;
    return static_cast<core::Long>(delay);
}

std::vector<TextSpan> ValueSpans(const QString& text) {
    std::vector<TextSpan> spans(1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char(','))
            spans.push_back({int(i) + 1, 0});
        else
            ++spans.back().length;
    }
    return spans;
}

QString DefaultProgram() {
    return QStringLiteral(
        "22*,800!,198#,30,1200!,135,2,1500!,60,120!,80#,0,1200!,337*,1500!,50#,202*,27#,2000!");
}

QString DirectInfoText() {
    const QStringList lines{QStringLiteral("Endless turning."),
                            QString(),
                            QStringLiteral("All numbers separated with comma's !"),
                            QStringLiteral("At least 2 values"),
                            QString(),
                            QStringLiteral("22"),
                            QStringLiteral("means steps"),
                            QString(),
                            QStringLiteral("100*"),
                            QStringLiteral("means steps in degrees"),
                            QString(),
                            QStringLiteral("20#"),
                            QStringLiteral("means stepspeed 20 mSec"),
                            QStringLiteral("and no speedmodulate"),
                            QStringLiteral("for just one position"),
                            QString(),
                            QStringLiteral("1000!"),
                            QStringLiteral("means pause 1000 mSec.")};
    QStringList shown;
    for (const QString& line : lines)
        shown << (line.isEmpty() ? line : QStringLiteral("        ") + line);
    return shown.join(QStringLiteral("\r\n"));
}

} // namespace program
