#pragma once

#include <QString>

namespace tuning {

class RigTuning;

// The rig frame's controls on automatic tuning: the lock and the rig's dial lock, the poll
// rate, the transmit guard, our PTT, the modes and the power switch, the S-meter peak search
// and the SWR tune.
class RigCommands {
public:
    explicit RigCommands(RigTuning& tuning) : tuning_(tuning) {}

    // --- lock and polls ---
    void LockClicked();
    // chkLock: the rig's dial lock.
    void RigLockClicked(bool on);
    // cmdComPol: the next interval of 1000, 500, 200, 500, 1000, 1500, 1000, ...
    void PollRateClicked();
    // mnuTxGuard: no turning while the rig transmits.
    void TransmitGuardClicked(bool on);

    // --- PTT and modes ---
    // cmdPTT; with forceOff only ever to receive.
    void PttToggle(bool forceOff);
    void ModeClicked(int index);
    // cmdOnOff.
    void PowerClicked();

    // --- S-meter peak search ---
    // cmdCalibreer: turns through 30 positions around the present one, then to the loudest
    // (back to the start when the readings are flat). A second click stops it, as does Esc.
    void PeakSearchClicked();

    // --- SWR tune ---
    // cmdSwrTune: keys a low-power carrier and turns around the table's position for the
    // rig's frequency to the lowest SWR (SwrTune); a second click stops it, as do Esc and
    // the PTT button.
    void SwrTuneClicked();
    bool swrTuneEnabled() const;
    // What it does to the rig, or why the link offers none.
    QString SwrTuneToolTip() const;
    // Why the open link offers no SWR tune; empty where it does.
    QString SwrTuneUnavailable() const;

private:
    void changed();

    RigTuning& tuning_;
};

} // namespace tuning
