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

void RigTuning::TransmitGuardClicked(bool on) {
    guard_.setEnabled(on);
    updatePollTimer();
    emit changed();
}

bool RigTuning::transmitHolds() const {
    return rig_->pttOn() || guardHolds();
}

void RigTuning::transmitReported(const RigReading& reading) {
    if (!guard_.Reported(reading.transmitting))
        return;
    qCInfo(lcRig) << "the rig transmits: no turning until it ends";
    if (!engineTurning_ && !engine_.slowTurnRunning())
        return;
    // Stopped at the next step; the stop is not the user's, so following stays locked.
    guardStopping_ = true;
    engine_.StopTurning();
    guardStopping_ = false;
    state_.RigFollowHalted = false;
}

bool RigTuning::ManualTurnAllowed() {
    if (!guardHolds())
        return true;
    const PollPause pause(*this);
    return platform_.messageBox(QStringLiteral("The rig is transmitting: turning the loop now may "
                                               "arc it.\r\nTurn all the same?"),
                                core::MessageTitle(), platform::Icon::Question,
                                platform::Buttons::YesNo) == platform::Answer::Yes;
}

} // namespace rig
