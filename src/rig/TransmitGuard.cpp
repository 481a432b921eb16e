#include "rig/TransmitGuard.h"

#include "rig/IniLines.h"

#include <QSettings>

namespace rig {

namespace {

const QString Key = QStringLiteral("rig/holdWhileTransmitting");

} // namespace

TransmitGuard::TransmitGuard(QString settingsFile) : file_(std::move(settingsFile)) {}

void TransmitGuard::Load() {
    const QSettings ini(file_, QSettings::IniFormat);
    const QString value = ini.value(Key).toString().trimmed().toLower();
    // Anything but a plain "no" keeps the stepper still: the safe side.
    enabled_ = !(value == QLatin1String("false") || value == QLatin1String("0") ||
                 value == QLatin1String("no") || value == QLatin1String("off"));
}

void TransmitGuard::setEnabled(bool on) {
    enabled_ = on;
    (void)StoreIniValue(file_, "rig", "holdWhileTransmitting", on ? "true" : "false");
}

bool TransmitGuard::Reported(std::optional<bool> transmitting) {
    const bool began = transmitting.value_or(false) && !transmitting_;
    transmitting_ = transmitting.value_or(false);
    return began && enabled_;
}

} // namespace rig
