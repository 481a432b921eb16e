#include "panel/CounterByHand.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"

#include <QScopeGuard>
#include <QScopedValueRollback>
#include <algorithm>

namespace panel {

CounterByHand::CounterByHand(core::ProgramState& state, platform::Platform& platform,
                             engine::Engine& engine, port::CoilOutput& coil)
    : state_(state), platform_(platform), engine_(engine), coil_(coil) {}

void CounterByHand::Ask() {
    const QScopedValueRollback asking(asking_, true);
    engine_.StopTurningAndFollowing();
    // The rotator clients, the web and the rig's following are heard while the question is
    // open: none of them may turn the shaft under the user's hand.
    engine_.SetCounterByHandOpen(true);
    const auto handsOff = qScopeGuard([this] { engine_.SetCounterByHandOpen(false); });
    coil_.WriteData(0); // everything off while the shaft may be turned by hand

    const QString crlf = QStringLiteral("\r\n");
    const QString prompt = QStringLiteral("Set by hand ") +
                           (state_.SelectedStepper == 1 ? QStringLiteral("Stepper 2 ")
                                                        : QStringLiteral("Stepper 1 ")) +
                           QStringLiteral("to the desired position.") + crlf +
                           QStringLiteral("Overlay is always reset to 0") + crlf +
                           QStringLiteral("Range ") + core::NumberText(state_.MinPosition) +
                           QStringLiteral(" >") + core::NumberText(state_.MaxPosition) + crlf +
                           QStringLiteral("Old counter value:") +
                           core::PlainNumberText(state_.StepCounter) + crlf +
                           QStringLiteral("Give the new counter value");
    const QString answer =
        platform_.inputBox(prompt, core::MessageTitle(), core::PlainNumberText(state_.StepCounter));
    // Digits and "." only: an answer without any digit changes nothing, like Cancel.
    const QString cleaned = core::NumericFieldText(answer);
    if (!std::any_of(cleaned.begin(), cleaned.end(), [](QChar c) { return c.isDigit(); })) {
        coil_.WriteData(coil_.PositionCode());
        return;
    }
    const core::Long v = core::RoundToLong(core::LeadingNumber(cleaned));
    if (!engine_.SetCounterWithinLimits(v))
        platform_.messageBox(QStringLiteral("Out off range value"), core::MessageTitle(),
                             platform::Icon::Exclamation);
    // The code the motor stands on: the new counter names where it is, it does not move it.
    coil_.WriteData(coil_.PositionCode());
}

} // namespace panel
