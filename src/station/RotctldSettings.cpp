#include "station/RotctldSettings.h"

#include "core/ServerSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "station/StationLogging.h"

#include <cmath>
#include <optional>

namespace station {

namespace {

const QString Group = QStringLiteral("rotctld");

} // namespace

RotctldSettings ReadRotctldSettings(const QString& settingsFile, core::SettingsReport* report) {
    RotctldSettings result;
    core::SettingsGroupReader group(settingsFile, Group, report);
    core::ReadServerKeys(
        group, QStringLiteral("the rotator server (Edit, \"Rotator server (rotctld)\")"),
        QStringLiteral("0.0.0.0 to serve the whole network"), result.enabled, result.port,
        result.address);
    group.read(
        QStringLiteral("park"), QString(),
        QStringLiteral("azimuth in degrees a client's park turns to; blank: the lower limit"),
        [&](const QString& text) {
            if (text.isEmpty())
                return true;
            bool ok = false;
            const double degrees = text.toDouble(&ok);
            if (ok && std::isfinite(degrees))
                result.parkAzimuth = degrees;
            return result.parkAzimuth.has_value();
        },
        QStringLiteral("the lower limit"));
    if (!group.unusable().isEmpty())
        result.problem = QStringLiteral("%1: [rotctld] %2 cannot be used; the rotator server "
                                        "takes its default (enabled=false, port=4533, "
                                        "address=127.0.0.1, park at the lower limit).")
                             .arg(settingsFile, group.unusable().join(QStringLiteral(", ")));
    QString error;
    if (!group.addMissing(&error))
        core::LogDefaultsNotAdded(lcStation(), settingsFile, error);
    return result;
}

bool StoreRotctldEnabled(const QString& settingsFile, bool enabled, QString* error) {
    return core::StoreServerEnabled(settingsFile, Group, enabled, error);
}

} // namespace station
