#include "rig/CatSwrMeter.h"

namespace rig {

bool CatSwrMeter::offered() const {
    const RigCaps& caps = cat_.caps();
    return caps.readTxStatus.has_value() || caps.readScheme == ReadScheme::Block19;
}

QString CatSwrMeter::powerUnsettable() const {
    return QStringLiteral("The ") + cat_.caps().name +
           QStringLiteral("'s CAT cannot set its transmit power.");
}

std::optional<double> CatSwrMeter::mostPowerW() const {
    const double most = cat_.caps().mostPowerW;
    return most > 0 ? std::optional<double>(most) : std::nullopt;
}

void CatSwrMeter::readSwr(Value done) {
    // Only a reading while our PTT is on asks the transmit status with its SWR bit.
    if (!cat_.portOpen() || !cat_.pttOn() || cat_.busy()) {
        done(std::nullopt);
        return;
    }
    cat_.ReadRigFrequency([this, done](const RigReading&) {
        switch (cat_.SwrState()) {
        case 0:
            done(1.0);
            return;
        case 1:
            done(HighSwr);
            return;
        default:
            done(std::nullopt);
        }
    });
}

} // namespace rig
