#pragma once

#include "core/SettingsReport.h"

#include <QString>

namespace tuning {

// The SWR tune as Ventrolo.ini keeps it:
//   [swrtune]
//   power=5       ; the carrier's power in W
//   maxpower=10   ; no tune keys the rig above this, whatever power says
//   steps=10      ; positions visited below and above the table's one
//   seconds=10    ; longest time keyed, in all
struct SwrTuneSettings {
    double powerW = 5;
    double maxPowerW = 10;
    int steps = 10;
    int seconds = 10;
    bool operator==(const SwrTuneSettings&) const = default;
};

// Missing keys give the defaults; values that cannot be used are noted in report and give the
// defaults too.
SwrTuneSettings LoadSwrTuneSettings(const QString& settingsFile, core::SettingsReport* report);

} // namespace tuning
