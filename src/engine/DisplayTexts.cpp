#include "engine/DisplayTexts.h"

#include "core/TextRules.h"

namespace engine {

QString CounterText(core::Long counter) {
    return core::PlainNumberText(counter);
}

core::Single CurrentDegreesOf(core::Long counter, core::Single degreesPerStep) {
    return static_cast<core::Single>(
        core::RoundHalfEven(static_cast<double>(counter) * static_cast<double>(degreesPerStep), 1));
}

QString DegreesLabelText(core::Single degrees) {
    QString text = core::PlainNumberText(degrees);
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    if (text.startsWith(QLatin1Char('.')))
        text.prepend(QLatin1Char('0'));
    else if (text.startsWith(QLatin1String("-.")))
        text.insert(1, QLatin1Char('0'));
    return QLatin1Char(' ') + text + QStringLiteral("°");
}

OverlayDisplay OverlayDisplayFor(const core::ProgramState& state) {
    OverlayDisplay display;
    if (state.OverlaySteps < 0) {
        display.stepsText = QStringLiteral("0");
        display.degreesText = QStringLiteral("0.0°");
    } else {
        const std::int64_t shown = state.OverlayState
                                       ? std::int64_t{state.OverlayPosition} - state.OverlaySteps
                                       : std::int64_t{state.OverlayPosition};
        display.stepsText = QString::number(shown);
        QString degrees = core::PlainNumberText(static_cast<core::Single>(core::RoundHalfEven(
            static_cast<double>(state.DegreesPerStep) * static_cast<double>(shown), 1)));
        if (!degrees.contains(QLatin1Char('.')))
            degrees += QStringLiteral(".0");
        display.degreesText = degrees + QStringLiteral("°");
    }
    display.directionVisible = state.OverlayOn;
    display.directionText = state.OverlayPending ? QStringLiteral(">>") : QStringLiteral("<<");
    return display;
}

} // namespace engine
