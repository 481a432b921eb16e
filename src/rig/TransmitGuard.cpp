#include "rig/TransmitGuard.h"

#include "core/SettingsFile.h"
#include "rig/RigLogging.h"

namespace rig {

namespace {

const QString Key = QStringLiteral("rig/holdWhileTransmitting");

} // namespace

TransmitGuard::TransmitGuard(QString settingsFile) : file_(std::move(settingsFile)) {}

void TransmitGuard::Load(core::SettingsReport* report) {
    const core::IniSettings ini(file_);
    const QString given = core::SettingsText(ini, Key).value_or(QString());
    const QString value = given.toLower();
    // Anything but a plain "no" keeps the stepper still: the safe side.
    enabled_ = !(value == QLatin1String("false") || value == QLatin1String("0") ||
                 value == QLatin1String("no") || value == QLatin1String("off"));
    const bool on = value.isEmpty() || value == QLatin1String("true") ||
                    value == QLatin1String("1") || value == QLatin1String("yes") ||
                    value == QLatin1String("on");
    if (enabled_ && !on && report)
        report->Unused(file_, Key, given, QStringLiteral("true"));
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

} // namespace rig
