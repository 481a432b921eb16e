#include "tuning/TransmitHold.h"

namespace tuning {

QString TransmitHoldText(TransmitHold hold) {
    switch (hold) {
    case TransmitHold::None:
        break;
    case TransmitHold::SwrTune:
        return QStringLiteral("the SWR tune's carrier is on");
    case TransmitHold::OurPtt:
        return QStringLiteral("our PTT is on");
    case TransmitHold::RigTransmits:
        return QStringLiteral("the rig transmits");
    case TransmitHold::RigSilent:
        return QStringLiteral("the rig is silent and may be transmitting");
    }
    return {};
}

} // namespace tuning
