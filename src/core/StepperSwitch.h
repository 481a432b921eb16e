#pragma once

#include "core/ProgramState.h"

#include <QString>

namespace core {

// What switching the stepper needs of the engine, the port and the main window.
class StepperSwitchSeam {
public:
    virtual ~StepperSwitchSeam() = default;
    virtual void StopTurning() = 0;
    virtual QString GotoFieldText() const = 0;
    // The coil code now on the data register (its two lowest bits).
    virtual Long CurrentCoilBits() = 0;
    // Builds the main window from the state; quiet opens no other window.
    virtual void InitMain(bool quiet) = 0;
    virtual void WriteDataRegister(Long value) = 0;
    // Shows which stepper is selected on the stepper option buttons.
    virtual void ShowStepperOption(Long stepper) = 0;
};

// Makes the stepper chosen on the option buttons (0 or 1) the driven one: the profile of the
// stepper left is stored with the coil code it leaves on the port, the other one is loaded and
// its own last coil code is put back on the port.
void SwitchStepper(ProgramState& state, Long optionStepper, StepperSwitchSeam& seam);

} // namespace core
