#include "display/PelorusCounter.h"

#include "core/Degrees.h"
#include "core/TextRules.h"
#include "panel/DisplayTexts.h"

namespace display {

QString PelorusAngleText(core::Single degrees) {
    // The main window's degree label without its leading blank, the sign set apart.
    QString text = panel::DegreesLabelText(degrees).mid(1);
    text.chop(1);
    return text + QStringLiteral(" °");
}

std::optional<QString> PelorusCounter::ShowCounter(const core::ProgramState& s, bool shuttleOn,
                                                   bool force) {
    const bool moving = shuttleOn || s.StepCounter != s.TargetPosition;
    if (!inDegrees_) {
        const QString counter = QString::number(s.StepCounter);
        return moving ? counter + QLatin1Char('>') + QString::number(s.TargetPosition) : counter;
    }
    if (!force && s.TargetPosition == lastTarget_)
        return std::nullopt;
    auto degrees = [&](core::Long steps) {
        return core::PlainNumberText(core::StepsToDegrees(steps, s.DegreesPerStep)) +
               QStringLiteral("°");
    };
    const QString text = moving
                             ? degrees(lastTarget_) + QLatin1Char('>') + degrees(s.TargetPosition)
                             : degrees(s.TargetPosition);
    lastTarget_ = s.TargetPosition;
    return text;
}

} // namespace display
