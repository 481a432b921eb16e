#pragma once

#include "core/SettingsReport.h"

#include <QString>

namespace vna {

// How the VNA's device speaks: found by what it answers, or named.
enum class Dialect { Auto, Shell, V2 };

// The [vna] group of Ventrolo.ini:
//   [vna]
//   port=              the VNA's serial device (/dev/ttyACM0), or simulated; blank: none
//   dialect=auto       auto, shell (NanoVNA, -H, -H4) or v2 (NanoVNA V2, LiteVNA)
//   backlash=0         steps of play in the simulated loop's drive
struct VnaSettings {
    QString port;
    Dialect dialect = Dialect::Auto;
    int simulatedBacklash = 0;
    QString problem; // for the user, when a value could not be used (its default was taken)

    bool simulated() const { return port == SimulatedPort(); }
    static QString SimulatedPort() { return QStringLiteral("simulated"); }
};

// Reads [vna], adding the keys that are missing with their defaults and a note on each so the
// user finds them to edit. The values that cannot be used are noted in report too.
VnaSettings ReadVnaSettings(const QString& settingsFile, core::SettingsReport* report = nullptr);

} // namespace vna
