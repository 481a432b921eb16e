#include "core/MainCaption.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"

namespace core {

QString DateText(const QDate& date) {
    static const char* const months[] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "Oktober",  "November", "December"};
    return QStringLiteral("%1-%2-20%3")
        .arg(date.day())
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.year() % 100, 2, 10, QLatin1Char('0'));
}

QString OtherStepperText(Long selectedStepper, Single stepsPer360, Long counter) {
    QString text =
        selectedStepper == 0 ? QStringLiteral(" Stepper2=(") : QStringLiteral(" Stepper1=(");
    text += QString::number(counter) + QLatin1Char(')');
    // Without a step count per turn there are no degrees to show. A position below 0 (a
    // hand-edited file) is shown in its own degrees rather than as 0.
    if (stepsPer360 <= 0 || counter == 0)
        return text + QStringLiteral(" 0°");
    const double degrees = RoundHalfEven(360.0f / stepsPer360 * counter, 1);
    return text + NumberText(static_cast<float>(degrees)) + QStringLiteral("°");
}

QString MainCaption(const QString& dateText, const QString& stepperText) {
    return AppTitle + QLatin1Char(' ') + VersionText + QStringLiteral(" (") +
           QString::number(Revision) + QStringLiteral(") ") + dateText + stepperText;
}

QString MainCaption(const ProgramState& state) {
    const StepperProfile& other = state.otherProfile();
    return MainCaption(state.DateText, OtherStepperText(state.SelectedStepper, other.StepsPer360,
                                                        other.StepCounter));
}

} // namespace core
