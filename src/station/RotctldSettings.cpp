#include "station/RotctldSettings.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "station/StationLogging.h"

#include <cmath>
#include <optional>

namespace station {

namespace {

const QString Group = QStringLiteral("rotctld");

std::optional<QHostAddress> Address(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::LocalHost);
    const QHostAddress address(t);
    return address.isNull() ? std::nullopt : std::optional(address);
}

} // namespace

RotctldSettings ReadRotctldSettings(const QString& settingsFile, core::SettingsReport* report) {
    RotctldSettings result;
    core::SettingsGroupReader group(settingsFile, Group, report);
    group.read(QStringLiteral("enabled"), QStringLiteral("false"),
               QStringLiteral("the rotator server (Edit, \"Rotator server (rotctld)\")"),
               [&](const QString& text) {
                   const auto on = core::SettingsSwitch(text);
                   result.enabled = on.value_or(false);
                   return on.has_value();
               });
    group.read(QStringLiteral("port"), QStringLiteral("4533"), QStringLiteral("its TCP port"),
               [&](const QString& text) {
                   bool ok = false;
                   const uint port = text.trimmed().toUInt(&ok);
                   if (ok && port >= 1 && port <= 65535)
                       result.port = static_cast<quint16>(port);
                   return ok && port >= 1 && port <= 65535;
               });
    group.read(QStringLiteral("address"), QStringLiteral("127.0.0.1"),
               QStringLiteral("0.0.0.0 to serve the whole network"), [&](const QString& text) {
                   const auto address = Address(text);
                   if (address)
                       result.address = *address;
                   return address.has_value();
               });
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
        qCWarning(lcStation) << "cannot write" << settingsFile << error;
    return result;
}

bool StoreRotctldEnabled(const QString& settingsFile, bool enabled, QString* error) {
    return core::SetSettings(
        settingsFile, Group,
        {{QStringLiteral("enabled"), enabled ? QStringLiteral("true") : QStringLiteral("false")}},
        error);
}

} // namespace station
