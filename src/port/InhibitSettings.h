#pragma once

#include "core/SettingsReport.h"
#include "platform/LptPort.h"
#include "port/StepDirSettings.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace port {

// The transmit-inhibit line, from [inhibit] of Ventrolo.ini: a data bit that keeps the rig (or
// an amplifier) from transmitting while the stepper turns.
//   line=none     none, or a data bit D0..D7 that no stepper output drives
//   active=low    low or high: the level that inhibits
//   leadMs=20     set this long before a turn's first step, 0..1000
//   tailMs=30     held this long after its last step, 0..5000
struct InhibitSettings {
    std::optional<int> bit; // none: no line, nothing changes on the port
    bool activeLow = true;
    int leadMs = 20;
    int tailMs = 30;
    bool operator==(const InhibitSettings&) const = default;

    // The register bit of the line (0 without one).
    std::uint8_t mask() const { return bit ? static_cast<std::uint8_t>(1u << *bit) : 0; }
    // value with the line's bit at the level for inhibiting or not; value itself without a line.
    std::uint8_t applied(std::uint8_t value, bool inhibiting) const;
};

// What the steppers' outputs use a data bit for ("the coil code", "the enable of stepper 1",
// "STEP 2"); empty for a bit they leave free.
QString StepperUseOf(const StepperOutputs& outputs, int bit);

// Reads [inhibit], adding the missing keys with their defaults and a comment to the file's end.
// A line on a bit the steppers' outputs drive, or (when port is given) on a bit the port has no
// pin for, is noted in report and none is taken, as is any value that cannot be used.
InhibitSettings ReadInhibitSettings(const QString& settingsFile, const StepperOutputs& outputs,
                                    core::SettingsReport* report = nullptr,
                                    const platform::LptPort* port = nullptr);

} // namespace port
