#include "rig/CatRig.h"

#include <memory>
#include <utility>

namespace rig {

CatRig::CatRig(CatControl& cat, QObject* parent) : RigConnection(parent), cat_(cat) {
    connect(&cat_, &CatControl::changed, this, &RigConnection::changed);
    connect(&cat_, &CatControl::transmitInhibited, this, [this] {
        if (reading_)
            inhibited_ = true;
        else
            emit transmitInhibited();
    });
    connect(&cat_, &CatControl::portClosed, this, &RigConnection::closed);
    connect(&cat_, &CatControl::ft817PowerSwitched, this, &RigConnection::powerSwitched);
    connect(&cat_, &CatControl::pttSwitched, this, &RigConnection::pttSwitched);
    connect(&cat_, &CatControl::modeSelected, this, &RigConnection::modeSelected);
    connect(&cat_, &CatControl::dialLockSwitched, this, &RigConnection::dialLockSwitched);
    connect(&cat_, &CatControl::sMeterRead, this, &RigConnection::sMeterRead);
    connect(&cat_, &CatControl::swrStateRead, this, &RigConnection::swrStateRead);
    connect(&cat_, &CatControl::frequencyShown, this, &RigConnection::frequencyShown);
}

LinkOpenResult CatRig::open(int port) {
    LinkOpenResult opened = cat_.OpenPort(port);
    if (!opened.ok)
        return opened;
    // A rig with a power switch is switched on (the power button reads off after every
    // closing); a rig that paces its long status reply is told to, so that slow interfaces keep
    // up.
    if (cat_.caps().hasPowerSwitch() && !cat_.ft817On())
        cat_.ToggleFT817Power();
    else
        (void)cat_.SendCatDelay();
    if (!cat_.portOpen())
        return {false, QStringLiteral("The rig link closed while it was opened.")};
    return opened;
}

QString CatRig::lineText() const {
    QString text = cat_.SettingsText();
    if (cat_.lineLost())
        text += QStringLiteral(" - no connection");
    return text;
}

void CatRig::close() {
    (void)cat_.ClosePort();
}

bool CatRig::requestReading() {
    return answer(&CatControl::ReadRigFrequency);
}

bool CatRig::requestFrequencyCheck() {
    return answer(&CatControl::CheckRigFrequency);
}

bool CatRig::requestTransmitState() {
    return cat_.transmitReported() ? answer(&CatControl::ReadTransmitState) : requestReading();
}

bool CatRig::answer(void (CatControl::*read)(CatControl::Told)) {
    if (cat_.busy())
        return false;
    // News of the reading is told when its exchanges are over, so that whoever hears it can
    // talk to the rig (release the PTT, set the mode back).
    reading_ = true;
    inhibited_ = false;
    const auto asking = std::make_shared<bool>(true);
    (cat_.*read)([this, asking](const RigReading& reading) {
        reading_ = false;
        const bool inhibited = std::exchange(inhibited_, false);
        const auto tell = [this, reading, inhibited] {
            if (inhibited)
                emit transmitInhibited();
            emit readingArrived(reading);
        };
        // What nothing was asked of the rig for is told at once, as the other links do.
        if (*asking)
            tell();
        else
            deliver(tell);
    });
    *asking = false;
    return true;
}

bool CatRig::requestSMeter() {
    if (cat_.busy() || !cat_.portOpen())
        return false;
    const auto asking = std::make_shared<bool>(true);
    cat_.ReadSMeter([this, asking](std::optional<float> value) {
        if (*asking)
            emit sMeterArrived(value);
        else
            deliver([this, value] { emit sMeterArrived(value); });
    });
    *asking = false;
    return true;
}

LinkCapabilities CatRig::capabilities() const {
    const RigCaps& rig = cat_.caps();
    LinkCapabilities caps;
    caps.reportsTransmit = cat_.transmitReported();
    caps.dialLock = rig.hasDialLock();
    caps.powerSwitch = rig.hasPowerSwitch();
    caps.swrMeter = swr_.offered();
    for (const RigMode& mode : rig.modes)
        caps.modeNames << mode.name;
    return caps;
}

bool CatRig::selectModeByCode(int code) {
    const int index = cat_.caps().modeIndexForStoredCode(code);
    if (index == 0)
        return false;
    cat_.setRigModeIndex(static_cast<core::Integer>(index));
    return true;
}

} // namespace rig
