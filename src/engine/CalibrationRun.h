#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/PanelView.h"
#include "platform/Platform.h"

namespace engine {

// The calibration run: the stepper rocks CalibrationSteps up and down around where it started
// until stopped, so the best position can be judged (by ear on the receiver, say). Its state is
// the caption of cmdCalibreer: "Ru&nning" while it goes on, "Calibratio&n" when idle.
class CalibrationRun {
public:
    CalibrationRun(core::ProgramState& state, platform::Platform& platform, Engine& engine,
                   PanelView& view);

    // A mouse button pressed on cmdCalibreer: left starts or stops the run, right asks for the
    // range first and starts it. Returns when the run has ended.
    void Pressed(Qt::MouseButton button);
    // mnuCalibraStaps: asks for CalibrationSteps; a value of 0 or less changes nothing.
    void AskCalibrationSteps();
    // The run itself; returns when the caption is back to "Calibratio&n".
    void Calibreer1();

    // The caption of the calibration-steps menu entry after the question.
    static QString MenuCaption(core::Long steps);

private:
    core::ProgramState& state_;
    platform::Platform& platform_;
    Engine& engine_;
    PanelView& view_;
};

} // namespace engine
