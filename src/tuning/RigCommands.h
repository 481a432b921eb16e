#pragma once

#include <QString>

namespace platform {
class Platform;
}
namespace table {
class TableEditor;
}

namespace tuning {

class RigLinkChoice;
class RigPoller;
class RigTuning;
class SwrTune;
class TransmitGuard;

// The rig frame's controls on automatic tuning: the lock and the rig's dial lock, the poll
// rate, the transmit guard, our PTT, the modes and the power switch, the S-meter peak search
// and the SWR tune.
class RigCommands {
public:
    // Works the rig through tuning, its polls, guard and SWR tune through the parts it is handed.
    RigCommands(RigTuning& tuning, platform::Platform& platform, table::TableEditor& editor,
                const RigLinkChoice& links, RigPoller& poller, TransmitGuard& guard, SwrTune& swr)
        : tuning_(tuning), platform_(platform), editor_(editor), links_(links), poller_(poller),
          guard_(guard), swr_(swr) {}

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
    platform::Platform& platform_;
    table::TableEditor& editor_;
    const RigLinkChoice& links_;
    RigPoller& poller_;
    TransmitGuard& guard_;
    SwrTune& swr_;
};

} // namespace tuning
