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
    if (open()) {
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
    if (!open() || !rig_->capabilities().canSetRig)
        return;
    if (!rig_->frequencyValid(kHz)) {
        platform_.beep();
        return;
    }
    (void)sendFrequency(kHz);
}

// --- PTT and modes ---

// --- S-meter peak search ---

} // namespace tuning
