#include "panel/DisplayTexts.h"

#include "core/Degrees.h"
#include "core/TextRules.h"

#include <algorithm>

namespace panel {

namespace {

// Degrees with one decimal at least: "5.4", "9.0", "-5.4".
QString OneDecimal(double degrees) {
    QString text = core::PlainNumberText(static_cast<core::Single>(degrees));
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return text;
}

} // namespace

QString CounterText(core::Long counter) {
    return core::PlainNumberText(counter);
}

QString DegreesLabelText(core::Single degrees) {
    QString text = OneDecimal(degrees);
    if (text.startsWith(QLatin1Char('.')))
        text.prepend(QLatin1Char('0'));
    else if (text.startsWith(QLatin1String("-.")))
        text.insert(1, QLatin1Char('0'));
    return QLatin1Char(' ') + text + QStringLiteral("°");
}

OverlayDisplay OverlayDisplayFor(const core::ProgramState& state) {
    OverlayDisplay display;
    const std::int64_t position = state.OverlayPosition;
    const std::int64_t size = state.OverlaySteps;
    if (size < 0) {
        display.stepsText = QStringLiteral("0");
        display.degreesText = QStringLiteral("0.0°");
    } else {
        const std::int64_t shown = state.OverlayState ? position - size : position;
        display.stepsText = QString::number(shown);
        display.degreesText =
            OneDecimal(core::StepsToDegrees(shown, state.DegreesPerStep)) + QStringLiteral("°");
    }
    display.directionVisible = state.OverlayOn;
    display.directionText = state.OverlayPending ? QStringLiteral(">>") : QStringLiteral("<<");
    display.stepDownTip = QStringLiteral("%1 steps down.").arg(position - 1 > 0 ? 1 : 0);
    display.stepUpTip = QStringLiteral("%1 steps up.").arg(position + 1 < size ? 1 : 0);
    display.allDownTip = QStringLiteral("%1 overlay steps down.").arg(position);
    display.allUpTip =
        QStringLiteral("%1 overlay steps up.").arg(std::max<std::int64_t>(size - position, 0));
    return display;
}

QString SliderLabelText(const core::ProgramState& state, core::Long value) {
    if (!state.SliderShowsDegrees)
        return CounterText(value);
    return core::PlainNumberText(core::StepsToDegrees(value, state.DegreesPerStep)) +
           QStringLiteral("°");
}

} // namespace panel
