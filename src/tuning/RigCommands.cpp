#include "tuning/RigCommands.h"

#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

namespace tuning {

void RigCommands::changed() {
    emit tuning_.changed();
}

void RigCommands::PttToggle(bool forceOff) {
    // The tune owns the PTT while it runs: the button ends it, unkeyed.
    if (swr_.running()) {
        swr_.Stop();
        changed();
        return;
    }
    if (tuning_.rigState().pttOn() || forceOff) {
        tuning_.ptt().Release(tuning_.connection());
        tuning_.follower().TransmitEnded(tuning_.port().portOpen());
    } else {
        if (!tuning_.port().portOpen()) {
            platform_.beep();
            return;
        }
        if (!tuning_.rigSettable())
            return;
        // No tuning while transmitting.
        tuning_.follower().TransmitStarted();
        if (!tuning_.ptt().Key(tuning_.connection())) {
            // The link did not key the rig (its daemon or line not connected): the lock is back
            // at once, not with the watchdog.
            tuning_.follower().TransmitEnded(tuning_.port().portOpen());
            platform_.beep();
        }
    }
    changed();
}

void RigCommands::ModeClicked(int index) {
    if (!tuning_.rigSettable())
        return;
    (void)tuning_.connection().setMode(index);
    changed();
}

void RigCommands::PowerClicked() {
    tuning_.connection().togglePower();
    changed();
}

void RigCommands::PeakSearchClicked() {
    if (tuning_.peakSearch().searching()) {
        tuning_.peakSearch().Stop();
        return;
    }
    if (!tuning_.port().portOpen() || swr_.running())
        return;
    if (tuning_.rigState().pttOn()) {
        platform_.beep();
        return;
    }
    tuning_.follower().SearchStarting();
    tuning_.peakSearch().Run(tuning_.connection());
    tuning_.follower().SearchEnded();
    changed();
}

void RigCommands::PollRateClicked() {
    if (!poller_.NextRate())
        return;
    tuning_.updatePollTimer();
    changed();
}

void RigCommands::LockClicked() {
    if (tuning_.follower().locked()) {
        tuning_.follower().UserUnlock();
    } else {
        if (!tuning_.follower().UserLock()) {
            platform_.beep();
            return;
        }
        if (tuning_.port().portOpen())
            tuning_.PollRig();
    }
    changed();
}

void RigCommands::RigLockClicked(bool on) {
    (void)tuning_.connection().setDialLock(on);
    changed();
}

void RigCommands::TransmitGuardClicked(bool on) {
    guard_.setEnabled(on);
    tuning_.updatePollTimer();
    changed();
}

bool RigCommands::swrTuneEnabled() const {
    if (swr_.running())
        return true; // to stop it
    return tuning_.port().portOpen() && !tuning_.peakSearch().searching() &&
           SwrTune::Unavailable(tuning_.connection(), tuning_.swrMeter()).isEmpty();
}

QString RigCommands::SwrTuneUnavailable() const {
    if (!tuning_.port().portOpen())
        return QStringLiteral("the rig's link is closed");
    return SwrTune::Unavailable(tuning_.connection(), tuning_.swrMeter());
}

QString RigCommands::SwrTuneToolTip() const {
    if (const QString why = SwrTune::Unavailable(tuning_.connection(), tuning_.swrMeter());
        !why.isEmpty())
        return QStringLiteral("Not here: ") + why;
    if (const QString why = SwrTune::PowerRefusal(*tuning_.swrMeter(), links_.swrTuneSettings());
        !why.isEmpty())
        return QStringLiteral("Not here: ") + why;
    if (!tuning_.swrMeter()->powerUnsettable().isEmpty())
        return swr_.ToolTip() +
               QStringLiteral(" This rig's power cannot be set: it transmits at "
                              "its own setting, at most ") +
               QString::number(*tuning_.swrMeter()->mostPowerW()) + QStringLiteral(" W.");
    return swr_.ToolTip();
}

void RigCommands::SwrTuneClicked() {
    if (swr_.running()) {
        swr_.Stop();
        return;
    }
    if (!tuning_.port().portOpen() || tuning_.peakSearch().searching())
        return;
    rig::SwrMeter* meter = tuning_.swrMeter();
    const table::Lookup lookup =
        table::LookUpPosition(editor_.data(), tuning_.follower().CatFrequency());
    if (!lookup.ok()) {
        tuning_.tell(QStringLiteral("The SWR tune needs the rig's frequency inside the table."));
        return;
    }
    swr_.setSettings(links_.swrTuneSettings());
    // Like the peak search, the result stays until the user locks again.
    tuning_.follower().SearchStarting();
    swr_.Run(tuning_.connection(), meter, lookup.position);
    tuning_.follower().SearchEnded();
    tuning_.updatePollTimer();
    changed();
}

} // namespace tuning
