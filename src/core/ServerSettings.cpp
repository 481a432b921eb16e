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
                    const QString& addressNote, bool& enabled, quint16& port, QHostAddress& address,
                    const QString& portNote) {
    group.boolean(QStringLiteral("enabled"), enabled, enabledNote);
    int number = port;
    if (group.integer(QStringLiteral("port"), number, 1, 65535, portNote))
        port = static_cast<quint16>(number);
    group.value(QStringLiteral("address"), address, Address, address.toString(), addressNote);
}

bool StoreServerEnabled(const QString& settingsFile, const QString& group, bool enabled,
                        QString* error) {
    return SetSettings(
        settingsFile, group,
        {{QStringLiteral("enabled"), enabled ? QStringLiteral("true") : QStringLiteral("false")}},
        error);
}

} // namespace core
