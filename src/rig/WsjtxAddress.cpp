#include "rig/WsjtxAddress.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
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
    // Read only: the keys are written, with their notes, where the link is chosen. A blank value
    // is the default.
    core::SettingsGroupReader group(settingsFile, QStringLiteral("wsjtx"), report,
                                    core::SettingsGroupReader::Blank::KeepsDefault);
    WsjtxAddress address;
    group.integer(QStringLiteral("port"), address.port, 1, 65535);
    group.value(
        QStringLiteral("address"), address.group,
        [](const QString& text) { return IsGroup(text) ? std::optional(text) : std::nullopt; },
        QString(), {}, QStringLiteral("127.0.0.1"));
    group.list(QStringLiteral("id"), address.ids);
    group.boolean(QStringLiteral("haltWhileTurning"), address.haltWhileTurning);
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
