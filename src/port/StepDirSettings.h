#pragma once

#include "core/SettingsReport.h"

#include <QString>
#include <array>

namespace port {

// How a stepper's driver is wired: to the 2-bit coil code on D0/D1 with its enable bit
// (Phase), or to a STEP/DIR/ENABLE driver such as a DRV8825, A4988 or TMC2209 (StepDir).
enum class OutputKind { Phase, StepDir };

// One stepper's output, from [stepper1] or [stepper2] of Ventrolo.ini:
//   output=phase        phase or stepdir
//   step=D0             data register bits D0..D7 of STEP, DIR and ENABLE (three different bits)
//   dir=D1
//   enable=D2           D3 for stepper 2
//   enableActive=low    low or high: the level of ENABLE that enables the driver
//   dirInvert=false     true: DIR low for clockwise
//   pulseUs=5           STEP high time, 1..1000 us
//   dirSetupUs=5        DIR stable before the first STEP edge, 0..1000 us
//   microsteps=1        1..256, as set on the driver (MS pins): STEP pulses per counted step
struct StepDirSettings {
    OutputKind output = OutputKind::Phase;
    int stepBit = 0, dirBit = 1, enableBit = 2; // data register bit numbers 0..7
    bool enableActiveLow = true;
    bool dirInvert = false;
    int pulseUs = 5, dirSetupUs = 5, microsteps = 1;
    bool operator==(const StepDirSettings&) const = default;
};
using StepperOutputs = std::array<StepDirSettings, 2>; // stepper 1 (SelectedStepper 0), stepper 2

// The defaults: both steppers on the coil code; as step/dir drivers they would share STEP on
// D0 and DIR on D1 and have their own ENABLE, D2 and D3, like the phase wiring's lines.
StepperOutputs DefaultStepperOutputs();

// What a data bit (0..7) carries for the step/dir steppers: "STEP 1", "DIR 1, DIR 2",
// "ENABLE 2"; empty for a bit no step/dir stepper uses.
QString DataBitRole(const StepperOutputs& outputs, int bit);

// Reads [stepper1] and [stepper2], adding the missing keys with their defaults and a comment to
// the file's end. A value that cannot be used (also STEP, DIR and ENABLE of one stepper on a
// common bit) is noted in report and its default taken. A file that cannot be read or written
// gives the defaults.
StepperOutputs ReadStepperOutputs(const QString& settingsFile,
                                  core::SettingsReport* report = nullptr);

} // namespace port
