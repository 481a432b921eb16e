#pragma once

#include "core/SettingsReport.h"

#include <QString>
#include <array>

namespace tuning {

// When following turns the stepper for a new frequency.
enum class FollowMode {
    Continuous, // at every confirmed reading
    Rested,     // once the frequency has stood still restMs: no chasing the VFO across a band
    Manual,     // never by itself: "Tune now" (the table window, the web page) turns once
};

// How each stepper's tables are followed, kept in Ventrolo.ini beside its band set:
//   [follow1]                 stepper 1's tables ([follow2]: stepper 2's)
//   mode=continuous           continuous, rested or manual
//   restMs=300                rested: how long the frequency must stand still, 0..10000
//   deadbandSteps=0           no turn while the table's position lies this close, 0..100000;
//                             auto: a quarter of the loop's bandwidth at the frequency, from the
//                             bandwidths a VNA build keeps with the table's rows (none without)
struct FollowSettings {
    FollowMode mode = FollowMode::Continuous;
    int restMs = 300;
    int deadbandSteps = 0;
    bool deadbandAuto = false;
    bool operator==(const FollowSettings&) const = default;
};
using FollowSettingsPair = std::array<FollowSettings, 2>; // stepper 1 (SelectedStepper 0), 2

// "continuous", "rested", "manual".
QString FollowModeName(FollowMode mode);

// Reads [follow1] and [follow2]; missing keys give the defaults (nothing is added: the user adds
// the keys that should differ), values that cannot be used are noted in report and give the
// defaults too.
FollowSettingsPair LoadFollowSettings(const QString& settingsFile, core::SettingsReport* report);

} // namespace tuning
