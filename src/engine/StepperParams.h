#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/PanelView.h"
#include "platform/Platform.h"

namespace engine {

// The stepper parameter panel: a value typed into a field takes effect when the button beside
// it is clicked (or the field double-clicked). Every invalid entry is answered with a message
// and replaced; an empty field is refilled with the value in force.
class StepperParams {
public:
    StepperParams(core::ProgramState& state, platform::Platform& platform, Engine& engine,
                  PanelView& view);

    // cmdHoogste ("LowSpeed", Text5 in seconds): the slowest delay; runs HighSpeedClicked.
    void LowSpeedClicked();
    // cmdLaagste ("HighSpeed", Text6 in seconds): the fastest delay.
    void HighSpeedClicked();
    // cmdInputMax / cmdInputMin (Text1 / Text2): the limits.
    void MaxClicked();
    void MinClicked();
    // cmdStepperStap (Text4): steps per 360 degrees.
    void StepsClicked();
    // The slider's range follows the limits; TargetPosition becomes the counter.
    void SliderRangeRefresh();
    // Before an endless mode starts with a delay above one second: asks to make the slowest
    // speed 1 s. True when the user declined (the mode must not start).
    bool SlowLimit();

private:
    double fieldValue(EntryField field) const;
    // The shuttle range, pulse size and centre that follow a change of the limits.
    void fitModesToLimits();

    core::ProgramState& state_;
    platform::Platform& platform_;
    Engine& engine_;
    PanelView& view_;
};

} // namespace engine
