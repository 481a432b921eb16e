#include "core/ServerSettings.h"

#include "core/SettingsFile.h"

#include <optional>

namespace core {

namespace {

std::optional<QHostAddress> Address(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::LocalHost);
    const QHostAddress address(t);
    return address.isNull() ? std::nullopt : std::optional(address);
}

} // namespace

void ReadServerKeys(SettingsGroupReader& group, const QString& enabledNote,
                    const QString& addressNote, bool& enabled, quint16& port,
                    QHostAddress& address) {
    group.read(QStringLiteral("enabled"), QStringLiteral("false"), enabledNote,
               [&](const QString& text) {
                   const auto on = SettingsSwitch(text);
                   enabled = on.value_or(false);
                   return on.has_value();
               });
    group.read(QStringLiteral("port"), QString::number(port), QStringLiteral("its TCP port"),
               [&](const QString& text) {
                   bool ok = false;
                   const uint number = text.trimmed().toUInt(&ok);
                   if (ok && number >= 1 && number <= 65535)
                       port = static_cast<quint16>(number);
                   return ok && number >= 1 && number <= 65535;
               });
    group.read(QStringLiteral("address"), address.toString(), addressNote,
               [&](const QString& text) {
                   const auto given = Address(text);
                   if (given)
                       address = *given;
                   return given.has_value();
               });
}

bool StoreServerEnabled(const QString& settingsFile, const QString& group, bool enabled,
                        QString* error) {
    return SetSettings(
        settingsFile, group,
        {{QStringLiteral("enabled"), enabled ? QStringLiteral("true") : QStringLiteral("false")}},
        error);
}

} // namespace core
