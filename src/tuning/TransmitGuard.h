#pragma once

#include "core/SettingsReport.h"

#include <QString>
#include <optional>

namespace tuning {

// No turning while the rig transmits: a loop's capacitor turned under transmit power arcs. The
// guard remembers what the rig last said of its transmit state, by whatever keyed it (its own
// PTT, a digital-mode program), and whether the user wants it at all, kept in Ventrolo.ini:
//   [rig]
//   holdWhileTransmitting=true      ; the default
// A rig that does not report its transmit state counts as receiving. A rig last known to transmit
// counts as transmitting until a reading shows it receiving: RF on the CAT cable often silences
// the link exactly while the rig transmits, so silence then is no sign of receive.
class TransmitGuard {
public:
    // settingsFile: Ventrolo.ini.
    explicit TransmitGuard(QString settingsFile);

    // A value that is neither on nor off keeps the guard on, noted in report.
    void Load(core::SettingsReport* report = nullptr);
    bool enabled() const { return enabled_; }
    // Kept in the file; a file that cannot be written keeps it for this run.
    void setEnabled(bool on);

    // What the rig is taken to do.
    enum class Rig {
        Receiving,
        Transmitting,
        // Silent since it transmitted, or silent during a turn: it may be transmitting.
        Silent,
    };

    // A reading's transmit state; nullopt (the rig said nothing) keeps a transmitting rig held,
    // as silent. True when a hold has just begun and the guard is on (a turn under way stops).
    bool Reported(std::optional<bool> transmitting);
    // The rig left its transmit reads unanswered during a turn: it may have been keyed
    // meanwhile, and counts as transmitting until a reading says otherwise. A rig not heard
    // since the link opened (a daemon not running) reports nothing and stays receiving. True
    // as Reported().
    bool Unanswered();
    // The link was closed (by the user, or before it opens): nothing is known.
    void Reset() {
        rig_ = Rig::Receiving;
        heard_ = false;
    }
    Rig rig() const { return rig_; }
    bool rigTransmitting() const { return rig_ != Rig::Receiving; }

private:
    bool hold(Rig rig);

    QString file_;
    bool enabled_ = true;
    Rig rig_ = Rig::Receiving;
    bool heard_ = false; // a transmit state read since the link opened
};

} // namespace tuning
