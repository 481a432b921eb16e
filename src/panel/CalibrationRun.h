#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/MainFields.h"
#include "panel/WindowModes.h"
#include "platform/Platform.h"

#include <QObject>

namespace panel {

// The calibration run: the stepper rocks CalibrationSteps up and down around where it started
// until stopped, so the best position can be judged (by ear on the receiver, say). Its state is
// the caption of cmdCalibreer: "Ru&nning" while it goes on, "Calibratio&n" when idle.
class CalibrationRun : public QObject {
    Q_OBJECT

public:
    CalibrationRun(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                   WindowModes& modes, MainFields& fields, QObject* parent = nullptr);

    // A mouse button pressed on cmdCalibreer: left starts or stops the run, right asks for the
    // range first and starts it. Returns when the run has ended.
    void Pressed(Qt::MouseButton button);
    // mnuCalibraStaps: asks for CalibrationSteps; a value of 0 or less changes nothing.
    void AskCalibrationSteps();
    // The run itself; returns when the caption is back to "Calibratio&n".
    void Calibreer1();

signals:
    // lblTime: "Time 12:34:56".
    void timeChanged(const QString& text);
    // The turning keys of the main window (LockLoopKeys).
    void loopKeysEnabled(bool enabled);
    // The calibration-steps menu entry: "Calibration steps (10)." after the question.
    void menuCaptionChanged(const QString& text);

private:
    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    WindowModes& modes_;
    MainFields& fields_;
};

} // namespace panel
