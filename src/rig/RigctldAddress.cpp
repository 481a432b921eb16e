#include "rig/RigctldAddress.h"

#include "rig/IniLines.h"

#include <QRegularExpression>
#include <QSettings>

namespace rig {

QString RigctldAddress::text() const {
    const QString shown =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shown + QLatin1Char(':') + QString::number(port);
}

std::optional<RigctldAddress> ParseRigctldAddress(const QString& text) {
    // A bracketed IPv6 address, or a host name / IPv4 address without blanks or colons.
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:\[([0-9A-Fa-f:.]+)\]|([A-Za-z0-9._-]+))(?::(\d{1,5}))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    RigctldAddress address;
    address.host = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    if (match.hasCaptured(3)) {
        address.port = match.captured(3).toInt();
        if (address.port < 1 || address.port > 65535)
            return std::nullopt;
    }
    return address;
}

RigctldAddress LoadRigctldAddress(const QString& settingsFile) {
    const QSettings ini(settingsFile, QSettings::IniFormat);
    RigctldAddress address;
    const QString host = ini.value(QStringLiteral("rigctld/host")).toString().trimmed();
    if (ParseRigctldAddress(host))
        address.host = ParseRigctldAddress(host)->host;
    bool number = false;
    const int port = ini.value(QStringLiteral("rigctld/port")).toString().trimmed().toInt(&number);
    if (number && port >= 1 && port <= 65535)
        address.port = port;
    return address;
}

void StoreRigctldAddress(const QString& settingsFile, const RigctldAddress& address) {
    (void)StoreIniValue(settingsFile, "rigctld", "host", address.host.toUtf8());
    (void)StoreIniValue(settingsFile, "rigctld", "port", QByteArray::number(address.port));
}

} // namespace rig
