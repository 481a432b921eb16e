#include "tuning/TransmitGuard.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "rig/RigLogging.h"

namespace tuning {

TransmitGuard::TransmitGuard(QString settingsFile) : file_(std::move(settingsFile)) {}

void TransmitGuard::Load(core::SettingsReport* report) {
    // Anything but a plain "no" keeps the stepper still: the safe side.
    bool enabled = true;
    core::SettingsGroupReader(file_, QStringLiteral("rig"), report,
                              core::SettingsGroupReader::Blank::KeepsDefault)
        .boolean(QStringLiteral("holdWhileTransmitting"), enabled);
    enabled_ = enabled;
}

void TransmitGuard::setEnabled(bool on) {
    enabled_ = on;
    QString error;
    if (!core::SetSettings(file_, QStringLiteral("rig"),
                           {{QStringLiteral("holdWhileTransmitting"),
                             on ? QStringLiteral("true") : QStringLiteral("false")}},
                           &error))
        qCWarning(lcRig) << "cannot write" << file_ << error;
}

bool TransmitGuard::Reported(std::optional<bool> transmitting) {
    if (!transmitting)
        return rig_ == Rig::Transmitting ? hold(Rig::Silent) : false;
    heard_ = true;
    return hold(*transmitting ? Rig::Transmitting : Rig::Receiving);
}

bool TransmitGuard::Unanswered() {
    return heard_ && rig_ == Rig::Receiving ? hold(Rig::Silent) : false;
}

bool TransmitGuard::hold(Rig rig) {
    const bool began = rig != Rig::Receiving && rig_ == Rig::Receiving;
    rig_ = rig;
    return began && enabled_;
}

} // namespace tuning
