#pragma once

#include "core/ProgramState.h"
#include "display/LptPins.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"

namespace display {

// The LPT output test: eight boxes for the data pins 2 to 9, written straight to the data
// register of the chosen port, untranslated: a test of the pins, step/dir lines included. The
// pins 6 to 9 become LptExtraBits, the pins the stepping holds high on every coil output
// (combined bitwise with the coil code and the enable bits).
class LptOutputTest {
public:
    // outputs and inhibit: the steppers' wiring and the transmit-inhibit line, which the boxes
    // name.
    LptOutputTest(core::ProgramState& state, platform::LptPort& lpt, platform::Platform& platform,
                  const port::StepperOutputs& outputs,
                  const port::InhibitSettings& inhibit = NoInhibit);

    // Opening: the port of LptAddress is chosen and its pins read back.
    void Open();
    // An option: 888, 956 or 632 becomes OutPort and the boxes show its register.
    void SelectPort(core::Long address);
    core::Long outPort() const { return outPort_; }
    const PinBoxes& boxes() const { return boxes_; }
    QString boxCaption(int box) const { return PinBoxCaption(box, outputs_, inhibit_); }
    QString boxToolTip(int box) const { return PinBoxToolTip(box, outputs_, inhibit_); }

    // Box 0 to 7 ticked or unticked: the register of OutPort gets the value of all boxes. A box
    // of the pins 6 to 9 also makes them the extra bits, with a beep.
    void BoxClicked(int box, bool ticked);

private:
    core::ProgramState& state_;
    platform::LptPort& lpt_;
    platform::Platform& platform_;
    static inline const port::InhibitSettings NoInhibit{};
    const port::StepperOutputs& outputs_;
    const port::InhibitSettings& inhibit_;
    core::Long outPort_ = 888;
    PinBoxes boxes_{};
};

} // namespace display
