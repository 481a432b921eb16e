#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/MainFields.h"
#include "panel/SpeedPanel.h"
#include "panel/WindowModes.h"
#include "platform/Platform.h"

#include <QObject>

namespace panel {

// The stepper parameter panel: a value typed into a field takes effect when the button beside
// it is clicked (or the field double-clicked). Every invalid entry is answered with a message
// and replaced; an empty field is refilled with the value in force.
class StepperParams : public QObject {
    Q_OBJECT

public:
    StepperParams(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                  SpeedPanel& speed, WindowModes& modes, MainFields& fields,
                  QObject* parent = nullptr);

    // cmdHoogste ("LowSpeed", SlowestDelay in seconds): runs HighSpeedClicked.
    void LowSpeedClicked();
    // cmdLaagste ("HighSpeed", FastestDelay in seconds).
    void HighSpeedClicked();
    // cmdInputMax / cmdInputMin (MaxPosition / MinPosition): the limits.
    void MaxClicked();
    void MinClicked();
    // cmdStepperStap (StepsPer360): the steps of a full turn.
    void StepsClicked();
    // Before an endless mode starts with a delay above one second: asks to make the slowest
    // speed 1 s. True when the user declined (the mode must not start).
    bool SlowLimit();

signals:
    // The limits were entered: the limit buttons' tooltips follow.
    void limitsChanged();
    // A limit or the steps per 360 took a new value: what keeps the stepper from its stops, to
    // be stored at once.
    void limitsOrScaleSet();
    // No degrees to show any more: the pelorus windows close, their buttons read
    // "Pel&orus off".
    void pelorusOff();
    // lblPulsShuttle.
    void pulsShuttleTextChanged(const QString& text);

private:
    // The shuttle range, pulse size and centre that follow a change of the limits.
    void fitModesToLimits();
    // Max (up) or Min: the entered limit, with the counter set to it when it lies beyond.
    void limitClicked(bool up);

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    SpeedPanel& speed_;
    WindowModes& modes_;
    MainFields& fields_;
};

} // namespace panel
