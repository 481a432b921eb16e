#include "rig/WsjtxAddress.h"

#include "core/SettingsFile.h"
#include "rig/RigLogging.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace rig {

namespace {

std::optional<int> ParsePort(const QString& text) {
    bool number = false;
    const int port = text.trimmed().toInt(&number);
    return number && port >= 1 && port <= 65535 ? std::optional<int>(port) : std::nullopt;
}

bool IsGroup(const QString& text) {
    const QHostAddress address(text);
    return !address.isNull() && address.isMulticast();
}

} // namespace

QStringList WsjtxAddress::DefaultIds() {
    return {QStringLiteral("WSJT-X"), QStringLiteral("JTDX")};
}

QString WsjtxAddress::text() const {
    if (group.isEmpty())
        return QString::number(port);
    const QString shown =
        group.contains(QLatin1Char(':')) ? QLatin1Char('[') + group + QLatin1Char(']') : group;
    return shown + QLatin1Char(':') + QString::number(port);
}

std::optional<WsjtxAddress> ParseWsjtxAddress(const QString& text) {
    WsjtxAddress address;
    if (const auto port = ParsePort(text)) {
        address.port = *port;
        return address;
    }
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:\[([0-9A-Fa-f:.]+)\]|([0-9.]+))(?::(\d{1,5}))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    address.group = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    if (!IsGroup(address.group))
        return std::nullopt;
    if (match.hasCaptured(3)) {
        const auto port = ParsePort(match.captured(3));
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    return address;
}

WsjtxAddress LoadWsjtxAddress(const QString& settingsFile, core::SettingsReport* report) {
    const core::IniSettings ini(settingsFile);
    WsjtxAddress address;
    auto unused = [&](const QString& key, const QString& found, const QString& kept) {
        if (report && !found.isEmpty())
            report->Unused(settingsFile, key, found, kept);
    };
    const QString portKey = QStringLiteral("wsjtx/port");
    const QString portText = core::SettingsText(ini, portKey).value_or(QString());
    if (const auto port = ParsePort(portText))
        address.port = *port;
    else
        unused(portKey, portText, QString::number(address.port));
    const QString groupKey = QStringLiteral("wsjtx/address");
    const QString group = core::SettingsText(ini, groupKey).value_or(QString()).trimmed();
    if (IsGroup(group))
        address.group = group;
    else
        unused(groupKey, group, QStringLiteral("127.0.0.1"));
    const QString idKey = QStringLiteral("wsjtx/id");
    if (const auto ids = core::SettingsText(ini, idKey)) {
        QStringList named;
        for (const QString& id : ids->split(QLatin1Char(',')))
            if (!id.trimmed().isEmpty())
                named << id.trimmed();
        if (!named.isEmpty())
            address.ids = named;
        else
            unused(idKey, QStringLiteral("(none)"), address.ids.join(QLatin1Char(',')));
    }
    return address;
}

void StoreWsjtxAddress(const QString& settingsFile, const WsjtxAddress& address) {
    QString error;
    if (!core::SetSettings(settingsFile, QStringLiteral("wsjtx"),
                           {{QStringLiteral("port"), QString::number(address.port)},
                            {QStringLiteral("address"), address.group}},
                           &error))
        qCWarning(lcRig) << "cannot write" << settingsFile << error;
}

} // namespace rig
