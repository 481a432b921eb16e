// Automatic tuning with the station's other programs: the rigctld link, and no turning while
// the rig transmits, whatever keyed it.
#include "core/VersionTexts.h"
#include "rig/RigLogging.h"
#include "rig/RigTuning.h"

namespace rig {

void RigTuning::useRigctld() {
    rigctld_->setAddress(links_.rigctldAddress());
    if (!setConnection(*rigctld_))
        return;
    portCaption_ = QStringLiteral("&Comport(rigctld)");
    frameCaption_ = rigControlCaption();
    emit changed();
}

void RigTuning::useCatRig() {
    if (!setConnection(*catRig_))
        return;
    frameCaption_ = rigControlCaption();
}

void RigTuning::SelectRigctld() {
    if (!menusEnabled() || !rigctld_)
        return;
    const PollPause pause(*this);
    const QString typed =
        platform_.inputBox(QStringLiteral("rigctld host:port (the daemon that shares the rig):"),
                           core::MessageTitle(), links_.rigctldAddress().text());
    if (typed.trimmed().isEmpty()) // cancelled
        return;
    const std::optional<RigctldAddress> address = ParseRigctldAddress(typed);
    if (!address) {
        tell(QStringLiteral("\"") + typed + QStringLiteral("\" is not a rigctld address.") +
             QStringLiteral("\r\nType host:port, e.g. localhost:4532."));
        return;
    }
    if (!menusEnabled() || !links_.ChooseRigctld(*address))
        return;
    useRigctld();
}

void RigTuning::readingAnnounced(const RigReading& reading) {
    if (!open_)
        return;
    // A poll under way answers soon; the rig is read again after it.
    if (awaiting_) {
        confirmOwed_ = true;
        return;
    }
    if (reading.transmitting)
        transmitReported(reading);
    if (reading.kHz)
        frequencyRead(*reading.kHz);
    // The rig's word is followed as soon as a read agrees with it.
    PollRig();
}

void RigTuning::TransmitGuardClicked(bool on) {
    guard_.setEnabled(on);
    updatePollTimer();
    emit changed();
}

bool RigTuning::transmitting() const {
    return guard_.enabled() && (rig_->pttOn() || rigTransmitting());
}

void RigTuning::transmitReported(const RigReading& reading) {
    std::optional<bool> transmitting = reading.transmitting;
    if (reading.transmitOnly) {
        // One lost reply changes nothing. A rig that stops answering while the stepper turns may
        // have been keyed meanwhile: after the second missed reply in a row it counts as
        // transmitting, and the turn stops, until the rig is read again.
        if (transmitting)
            unansweredTransmitReads_ = 0;
        else if (++unansweredTransmitReads_ < 2)
            return;
        else
            transmitting = true;
    }
    if (guard_.Reported(transmitting))
        qCInfo(lcRig) << (reading.transmitting ? "the rig transmits: no turning until it ends"
                                               : "the rig does not answer during a turn: the "
                                                 "turn stops as under transmit");
}

} // namespace rig
