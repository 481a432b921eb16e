#include "panel/CalibrationRun.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "panel/ManualTurnSupport.h"

#include <limits>

namespace panel {

using core::Long;

namespace {
// The run's slowest step delay in ms.
constexpr Long SlowestRunDelayMs = 150;
} // namespace

CalibrationRun::CalibrationRun(core::ProgramState& state, platform::Platform& platform,
                               engine::Engine& engine, WindowModes& modes, MainFields& fields,
                               QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), modes_(modes),
      fields_(fields) {}

void CalibrationRun::Pressed(Qt::MouseButton button) {
    fields_.setKeyPreview(true);
    emit loopKeysEnabled(false);
    engine::TurningModes& modes = modes_.modes();
    if (button == Qt::RightButton && !modes.calibrationRunning) {
        AskCalibrationSteps();
        modes.calibrationRunning = true;
        modes_.ModesChanged();
        Calibreer1();
    } else if (button == Qt::LeftButton) {
        if (modes.calibrationRunning) {
            modes.calibrationRunning = false;
            modes_.ModesChanged();
            engine_.StopTurningAndFollowing();
        } else {
            engine_.StopTurningAndFollowing();
            modes.calibrationRunning = true;
            modes_.ModesChanged();
            Calibreer1();
        }
    } else {
        return;
    }
    // Also after a run ended by Esc or another command, so the turning keys never stay locked.
    emit loopKeysEnabled(true);
}

void CalibrationRun::Calibreer1() {
    auto running = [this] { return modes_.modes().calibrationRunning; };
    const std::int64_t high = std::int64_t{state_.StepCounter} + state_.CalibrationSteps;
    const std::int64_t low = std::int64_t{state_.StepCounter} - state_.CalibrationSteps;
    // The turning points are 16-bit: a run that would leave that range does not start.
    if (high > std::numeric_limits<std::int16_t>::max() ||
        low < std::numeric_limits<std::int16_t>::min()) {
        platform_.beep();
        modes_.modes().calibrationRunning = false;
        modes_.ModesChanged();
        return;
    }
    const Long savedDelay = state_.StepDelayMs;
    if (state_.StepDelayMs > SlowestRunDelayMs)
        state_.StepDelayMs = SlowestRunDelayMs;
    while (running()) {
        for (const std::int64_t turningPoint : {high, low}) {
            if (!running())
                break;
            const double start = platform_.steadyMs();
            emit timeChanged(TimeLabelText(platform_));
            // The rig transmitting ends the run (with a beep when it refused the turn).
            if (engine_.TurnTo({static_cast<Long>(turningPoint), engine::TurnOrigin::Repeated}) !=
                engine::TurnOutcome::Done) {
                modes_.modes().calibrationRunning = false;
                modes_.ModesChanged();
                break;
            }
            SettleAfterTurn(engine_, platform_, start, running);
        }
    }
    state_.StepDelayMs = savedDelay;
}

void CalibrationRun::AskCalibrationSteps() {
    const QString answer =
        platform_.inputBox(QStringLiteral("Steps + and - for calibration.\r\nMinimal 1."),
                           core::MessageTitle(), core::PlainNumberText(state_.CalibrationSteps));
    const double value = core::LeadingNumber(answer);
    if (value <= 0)
        return;
    engine_.StopTurningAndFollowing();
    state_.CalibrationSteps = core::RoundToLong(value);
    emit menuCaptionChanged(QStringLiteral("Calibration steps (%1).").arg(state_.CalibrationSteps));
}

} // namespace panel
