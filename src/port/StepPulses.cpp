#include "port/StepPulses.h"

#include <algorithm>

namespace port {

namespace {

// "7.8", "20": one decimal at most.
QString MicrosecondsText(double us) {
    QString text = QString::number(us, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

} // namespace

void StepPulses(const StepDirSettings& s, std::uint8_t base, double periodUs,
                std::vector<TimedWrite>& out) {
    out.clear();
    const auto step = static_cast<std::uint8_t>(1u << s.stepBit);
    const auto low = static_cast<std::uint8_t>(base & ~step);
    const auto high = static_cast<std::uint8_t>(base | step);
    const int pulses = std::max(1, s.microsteps);
    const double spacing = periodUs / pulses;
    for (int i = 0; i < pulses; ++i) {
        const double rise = i * spacing;
        out.push_back({rise, high});
        out.push_back({rise + s.pulseUs, low});
    }
}

QString StepRateProblem(const StepDirSettings& s, int stepper, double delayMs) {
    if (s.output != OutputKind::StepDir)
        return {};
    const int pulses = std::max(1, s.microsteps);
    const double spacingUs = delayMs * 1000.0 / pulses;
    const double shortestUs = std::max(MinPulseSpacingUs, 2.0 * s.pulseUs);
    if (spacingUs >= shortestUs)
        return {};
    return QStringLiteral("Stepper %1: %2 ms per step with %3 %4 needs a STEP pulse every %5 us; "
                          "the port keeps at most one every %6 us. Choose a longer step delay or "
                          "fewer microsteps.")
        .arg(stepper)
        .arg(QString::number(delayMs), QString::number(pulses),
             pulses == 1 ? QStringLiteral("microstep") : QStringLiteral("microsteps"),
             MicrosecondsText(spacingUs), MicrosecondsText(shortestUs));
}

} // namespace port
