// The table window's commands on automatic tuning: sending a frequency, the PTT and the modes,
// and starting the S-meter peak search.
#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

#include <algorithm>
#include <cstdlib>

namespace tuning {

// --- frequency ---

bool RigTuning::sendFrequency(core::Single kHz) {
    if (open_) {
        const rig::CatResult sent = rig_->setFrequency(kHz);
        if (sent != rig::CatResult::Sent && sent != rig::CatResult::NotSent)
            return false;
        announcements_.Sent(kHz);
    }
    // The frequency last read from or sent to the rig; a reading that agrees is followed.
    shown_.showFrequency(kHz);
    follower_.Sent(kHz);
    return true;
}

void RigTuning::SetRigFrequency(core::Single kHz) {
    // A link that only listens keeps the rig where its dial is.
    if (!open_ || !rig_->capabilities().canSetRig)
        return;
    if (!rig_->frequencyValid(kHz)) {
        platform_.beep();
        return;
    }
    (void)sendFrequency(kHz);
}

// --- PTT and modes ---

void RigTuning::PttToggle(bool forceOff) {
    // The tune owns the PTT while it runs: the button ends it, unkeyed.
    if (swr_.running()) {
        swr_.Stop();
        emit changed();
        return;
    }
    if (shown_.pttOn() || forceOff) {
        ptt_.Release(*rig_);
        follower_.TransmitEnded(open_);
    } else {
        if (!open_) {
            platform_.beep();
            return;
        }
        if (!rigSettable())
            return;
        // No tuning while transmitting.
        follower_.TransmitStarted();
        if (!ptt_.Key(*rig_)) {
            // The link did not key the rig (its daemon or line not connected): the lock is back
            // at once, not with the watchdog.
            follower_.TransmitEnded(open_);
            platform_.beep();
        }
    }
    emit changed();
}

void RigTuning::ModeClicked(int index) {
    if (!rigSettable())
        return;
    (void)rig_->setMode(index);
    emit changed();
}

void RigTuning::PowerClicked() {
    rig_->togglePower();
    emit changed();
}

// --- S-meter peak search ---

void RigTuning::PeakSearchClicked() {
    if (search_.searching()) {
        search_.Stop();
        return;
    }
    if (!open_ || swr_.running())
        return;
    if (shown_.pttOn()) {
        platform_.beep();
        return;
    }
    follower_.SearchStarting();
    search_.Run(*rig_);
    follower_.SearchEnded();
    emit changed();
}

} // namespace tuning
