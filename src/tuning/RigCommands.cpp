#include "tuning/RigCommands.h"

#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

namespace tuning {

void RigCommands::changed() {
    emit tuning_.changed();
}

void RigCommands::PttToggle(bool forceOff) {
    // The tune owns the PTT while it runs: the button ends it, unkeyed.
    if (tuning_.swr_.running()) {
        tuning_.swr_.Stop();
        changed();
        return;
    }
    if (tuning_.shown_.pttOn() || forceOff) {
        tuning_.ptt_.Release(*tuning_.rig_);
        tuning_.follower_.TransmitEnded(tuning_.open());
    } else {
        if (!tuning_.open()) {
            tuning_.platform_.beep();
            return;
        }
        if (!tuning_.rigSettable())
            return;
        // No tuning while transmitting.
        tuning_.follower_.TransmitStarted();
        if (!tuning_.ptt_.Key(*tuning_.rig_)) {
            // The link did not key the rig (its daemon or line not connected): the lock is back
            // at once, not with the watchdog.
            tuning_.follower_.TransmitEnded(tuning_.open());
            tuning_.platform_.beep();
        }
    }
    changed();
}

void RigCommands::ModeClicked(int index) {
    if (!tuning_.rigSettable())
        return;
    (void)tuning_.rig_->setMode(index);
    changed();
}

void RigCommands::PowerClicked() {
    tuning_.rig_->togglePower();
    changed();
}

void RigCommands::PeakSearchClicked() {
    if (tuning_.search_.searching()) {
        tuning_.search_.Stop();
        return;
    }
    if (!tuning_.open() || tuning_.swr_.running())
        return;
    if (tuning_.shown_.pttOn()) {
        tuning_.platform_.beep();
        return;
    }
    tuning_.follower_.SearchStarting();
    tuning_.search_.Run(*tuning_.rig_);
    tuning_.follower_.SearchEnded();
    changed();
}

void RigCommands::PollRateClicked() {
    if (!tuning_.poller_.NextRate())
        return;
    tuning_.updatePollTimer();
    changed();
}

void RigCommands::LockClicked() {
    if (tuning_.follower_.locked()) {
        tuning_.follower_.UserUnlock();
    } else {
        if (!tuning_.follower_.UserLock()) {
            tuning_.platform_.beep();
            return;
        }
        if (tuning_.open())
            tuning_.PollRig();
    }
    changed();
}

void RigCommands::RigLockClicked(bool on) {
    (void)tuning_.rig_->setDialLock(on);
    changed();
}

void RigCommands::TransmitGuardClicked(bool on) {
    tuning_.guard_.setEnabled(on);
    tuning_.updatePollTimer();
    changed();
}

bool RigCommands::swrTuneEnabled() const {
    if (tuning_.swr_.running())
        return true; // to stop it
    return tuning_.open() && !tuning_.search_.searching() &&
           SwrTune::Unavailable(*tuning_.rig_, tuning_.swrMeter()).isEmpty();
}

QString RigCommands::SwrTuneUnavailable() const {
    if (!tuning_.open())
        return QStringLiteral("the rig's link is closed");
    return SwrTune::Unavailable(*tuning_.rig_, tuning_.swrMeter());
}

QString RigCommands::SwrTuneToolTip() const {
    if (const QString why = SwrTune::Unavailable(*tuning_.rig_, tuning_.swrMeter()); !why.isEmpty())
        return QStringLiteral("Not here: ") + why;
    if (const QString why =
            SwrTune::PowerRefusal(*tuning_.swrMeter(), tuning_.links_.swrTuneSettings());
        !why.isEmpty())
        return QStringLiteral("Not here: ") + why;
    if (!tuning_.swrMeter()->powerUnsettable().isEmpty())
        return tuning_.swr_.ToolTip() +
               QStringLiteral(" This rig's power cannot be set: it transmits at "
                              "its own setting, at most ") +
               QString::number(*tuning_.swrMeter()->mostPowerW()) + QStringLiteral(" W.");
    return tuning_.swr_.ToolTip();
}

void RigCommands::SwrTuneClicked() {
    if (tuning_.swr_.running()) {
        tuning_.swr_.Stop();
        return;
    }
    if (!tuning_.open() || tuning_.search_.searching())
        return;
    rig::SwrMeter* meter = tuning_.swrMeter();
    const table::Lookup lookup =
        table::LookUpPosition(tuning_.editor_.data(), tuning_.follower_.CatFrequency());
    if (!lookup.ok()) {
        tuning_.tell(QStringLiteral("The SWR tune needs the rig's frequency inside the table."));
        return;
    }
    tuning_.swr_.setSettings(tuning_.links_.swrTuneSettings());
    // Like the peak search, the result stays until the user locks again.
    tuning_.follower_.SearchStarting();
    tuning_.swr_.Run(*tuning_.rig_, meter, lookup.position);
    tuning_.follower_.SearchEnded();
    tuning_.updatePollTimer();
    changed();
}

} // namespace tuning
