// Automatic tuning with the station's other programs: what the rig announces, and no turning
// while the rig transmits, whatever keyed it.
#include "core/VersionTexts.h"
#include "rig/RigLogging.h"
#include "tuning/RigTuning.h"

namespace tuning {

bool RigTuning::rigSettable() {
    if (!open() || rig_->capabilities().canSetRig)
        return true;
    tell(QStringLiteral("This link cannot set the rig."));
    return false;
}

void RigTuning::readingAnnounced(const rig::RigReading& reading) {
    if (!open())
        return;
    // Told at once: the poll under way may read the dial the announcement tells.
    announcements_.Announced(reading.kHz);
    if (reading.kHz)
        fallback_.FirstHeard();
    // A poll under way answers soon; the announcement counts after its answer.
    if (poller_.awaiting()) {
        announcedDuringPoll_ = reading;
        return;
    }
    if (reading.transmitting)
        transmitReported(reading);
    if (!reading.kHz)
        return;
    frequencyRead(*reading.kHz);
    // The rig's word is followed as soon as a read agrees with it.
    PollRig();
}

TransmitHold RigTuning::transmitHold() const {
    // The tune's carrier holds every other turn, guard or not.
    if (swr_.keyed())
        return TransmitHold::SwrTune;
    if (!guard_.enabled())
        return TransmitHold::None;
    if (shown_.pttOn())
        return TransmitHold::OurPtt;
    if (!open())
        return TransmitHold::None;
    switch (guard_.rig()) {
    case TransmitGuard::Rig::Receiving:
        break;
    case TransmitGuard::Rig::Transmitting:
        return TransmitHold::RigTransmits;
    case TransmitGuard::Rig::Silent:
        return TransmitHold::RigSilent;
    }
    return TransmitHold::None;
}

bool RigTuning::transmitting() const {
    return transmitHold() != TransmitHold::None;
}

void RigTuning::transmitReported(const rig::RigReading& reading) {
    const TransmitGuard::Rig before = guard_.rig();
    bool began = false;
    if (reading.transmitOnly && !reading.transmitting) {
        // One lost reply changes nothing. A rig that stops answering while the stepper turns may
        // have been keyed meanwhile: after the second missed reply in a row it counts as
        // transmitting, and the turn stops, until a reading says it receives.
        if (++unansweredTransmitReads_ < 2)
            return;
        began = guard_.Unanswered();
    } else {
        if (reading.transmitOnly)
            unansweredTransmitReads_ = 0;
        began = guard_.Reported(reading.transmitting);
    }
    const TransmitGuard::Rig now = guard_.rig();
    if (now == before || !guard_.enabled())
        return;
    // A turn under way stops at once, not at its next look at the gate.
    if (began)
        engine_.TransmitChanged();
    switch (now) {
    case TransmitGuard::Rig::Transmitting:
        if (began)
            qCInfo(lcRig) << "the rig transmits: no turning until it ends";
        break;
    case TransmitGuard::Rig::Silent:
        qCWarning(lcRig).noquote()
            << (began ? "the rig does not answer during a turn: the turn stops as under transmit"
                      : "the rig went silent while it transmitted: no turning until it is heard "
                        "receiving or its port is closed");
        break;
    case TransmitGuard::Rig::Receiving:
        if (before == TransmitGuard::Rig::Silent)
            qCInfo(lcRig) << "the rig is heard receiving again: turning goes on";
        break;
    }
}

} // namespace tuning
