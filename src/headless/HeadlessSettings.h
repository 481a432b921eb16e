#pragma once

#include "core/SettingsReport.h"

#include <QString>

namespace headless {

// [headless] in Ventrolo.ini: the answers the station without windows gives where the desktop
// program would ask. park=true parks both steppers at their lower limits when a signal ends
// the station (the desktop's park question answered Yes); the default is false.
struct HeadlessSettings {
    bool park = false;
};

// A value that cannot be used is told through report and the default is taken.
HeadlessSettings ReadHeadlessSettings(const QString& settingsFile, core::SettingsReport* report);

} // namespace headless
