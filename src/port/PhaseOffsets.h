#pragma once

#include "core/ProgramState.h"
#include "core/SettingsReport.h"

#include <QString>

namespace port {

// Each stepper's PhaseOffset, in Ventrolo.ini as [stepper1] and [stepper2] phaseOffset=0..3.
// Ventrolo.cfg has no place for it, and it must hold from the moment the counter is set: a
// restart powers the drivers on the code the motor stands on, not on the code of the counter.

// Into both stored profiles; a missing key is 0, a value that cannot be used is noted in report
// and 0 is used.
void ReadPhaseOffsets(const QString& settingsFile, core::ProgramState& state,
                      core::SettingsReport* report);
// Stores one stepper's (0 or 1) offset; false, and error saying why, when the file cannot be
// written.
bool StorePhaseOffset(const QString& settingsFile, core::Long stepper, core::Long offset,
                      QString* error);

} // namespace port
