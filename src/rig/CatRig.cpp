#include "rig/CatRig.h"

#include "rig/CatCommandTable.h"

#include <algorithm>

namespace rig {

CatRig::CatRig(CatControl& cat, QObject* parent) : RigConnection(parent), cat_(cat) {
    connect(&cat_, &CatControl::changed, this, &RigConnection::changed);
    connect(&cat_, &CatControl::transmitInhibited, this, [this] {
        if (reading_)
            inhibited_ = true;
        else
            emit transmitInhibited();
    });
    connect(&cat_, &CatControl::linkFailed, this, &RigConnection::linkFailed);
    connect(&cat_, &CatControl::portClosed, this, &RigConnection::closed);
    connect(&cat_, &CatControl::ft817PowerSwitched, this, &RigConnection::powerSwitched);
}

LinkOpenResult CatRig::open(int port) {
    LinkOpenResult opened = cat_.OpenPort(port);
    if (!opened.ok)
        return opened;
    // An FT-817 is switched on (the power button reads off after every closing); the
    // FT-757GXII paces its long status reply so that slow interfaces keep up.
    if (hasPowerSwitch() && !cat_.ft817On())
        cat_.ToggleFT817Power();
    else if (cat_.model() == Model::Ft757GXII)
        (void)cat_.SendCatDelay();
    if (!cat_.portOpen())
        return {false, QStringLiteral("The rig link closed while it was opened.")};
    return opened;
}

void CatRig::close() {
    (void)cat_.ClosePort();
}

bool CatRig::requestReading() {
    return answer(&CatControl::ReadRigFrequency);
}

bool CatRig::requestTransmitState() {
    return reportsTransmit() ? answer(&CatControl::ReadTransmitState) : requestReading();
}

bool CatRig::answer(RigReading (CatControl::*read)()) {
    if (cat_.busy())
        return false;
    // News of the reading is told when the exchange is over, so that whoever hears it can
    // talk to the rig (release the PTT, set the mode back).
    reading_ = true;
    inhibited_ = false;
    const RigReading reading = (cat_.*read)();
    reading_ = false;
    if (reading.busy)
        return false;
    if (inhibited_)
        emit transmitInhibited();
    emit readingArrived(reading);
    return true;
}

bool CatRig::requestSMeter() {
    if (cat_.busy() || !cat_.portOpen())
        return false;
    emit sMeterArrived(cat_.ReadSMeter());
    return true;
}

bool CatRig::hasDialLock() const {
    return HasDialLock(cat_.model());
}

QStringList CatRig::modeNames() const {
    QStringList names;
    for (const ModeEntry& mode : ModeTable(cat_.model()))
        names << mode.name;
    return names;
}

bool CatRig::selectModeByCode(int code) {
    int index = ModeIndexForCode(cat_.model(), code);
    // A mode no reply names (the FT-817's DIG and PKT) is kept by the code it was set with.
    if (const CatCommandTable* commands = CommandTable(cat_.model()); index == 0 && commands) {
        const auto& codes = commands->modeCodes;
        const auto at = std::find(codes.begin(), codes.end(), std::optional<std::uint8_t>(code));
        if (code >= 0 && code <= 255 && at != codes.end())
            index = int(at - codes.begin()) + 1;
    }
    if (index == 0)
        return false;
    cat_.setRigModeIndex(static_cast<core::Integer>(index));
    return true;
}

} // namespace rig
