#pragma once

#include "core/SettingsReport.h"

#include <QString>
#include <optional>

namespace rig {

// No turning while the rig transmits: a loop's capacitor turned under transmit power arcs. The
// guard remembers what the rig last said of its transmit state, by whatever keyed it (its own
// PTT, a digital-mode program), and whether the user wants it at all, kept in Ventrolo.ini:
//   [rig]
//   holdWhileTransmitting=true      ; the default
// A rig that does not report its transmit state counts as receiving.
class TransmitGuard {
public:
    // settingsFile: Ventrolo.ini.
    explicit TransmitGuard(QString settingsFile);

    // A value that is neither on nor off keeps the guard on, noted in report.
    void Load(core::SettingsReport* report = nullptr);
    bool enabled() const { return enabled_; }
    // Kept in the file; a file that cannot be written keeps it for this run.
    void setEnabled(bool on);

    // A reading's transmit state; true when the rig has just begun to transmit and the guard
    // is on (a turn under way stops then).
    bool Reported(std::optional<bool> transmitting);
    // The link closed: nothing is known.
    void Reset() { transmitting_ = false; }
    bool rigTransmitting() const { return transmitting_; }
    // Turns that following and frequency steps would start are held now.
    bool holds() const { return enabled_ && transmitting_; }

private:
    QString file_;
    bool enabled_ = true;
    bool transmitting_ = false;
};

} // namespace rig
