#include "rig/RigctldAddress.h"

#include "core/SettingsFile.h"
#include "rig/RigLogging.h"

#include <QRegularExpression>

namespace rig {

QString RigctldAddress::text() const {
    const QString shown =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shown + QLatin1Char(':') + QString::number(port);
}

std::optional<RigctldAddress> ParseRigctldAddress(const QString& text, int defaultPort) {
    // A bracketed IPv6 address, or a host name / IPv4 address without blanks or colons.
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:\[([0-9A-Fa-f:.]+)\]|([A-Za-z0-9._-]+))(?::(\d{1,5}))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    RigctldAddress address;
    address.host = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    address.port = defaultPort;
    if (match.hasCaptured(3)) {
        address.port = match.captured(3).toInt();
        if (address.port < 1 || address.port > 65535)
            return std::nullopt;
    }
    return address;
}

RigctldAddress LoadHostAddress(const QString& settingsFile, const QString& group,
                               const RigctldAddress& defaults, core::SettingsReport* report) {
    const core::IniSettings ini(settingsFile);
    RigctldAddress address = defaults;
    auto unused = [&](const QString& key, const QString& found, const QString& kept) {
        if (report && !found.isEmpty())
            report->Unused(settingsFile, key, found, kept);
    };
    const QString hostKey = group + QStringLiteral("/host");
    const QString host = core::SettingsText(ini, hostKey).value_or(QString());
    if (const auto parsed = ParseRigctldAddress(host))
        address.host = parsed->host;
    else
        unused(hostKey, host, address.host);
    const QString portKey = group + QStringLiteral("/port");
    const QString portText = core::SettingsText(ini, portKey).value_or(QString());
    bool number = false;
    const int port = portText.toInt(&number);
    if (number && port >= 1 && port <= 65535)
        address.port = port;
    else
        unused(portKey, portText, QString::number(address.port));
    return address;
}

void StoreHostAddress(const QString& settingsFile, const QString& group,
                      const RigctldAddress& address) {
    QString error;
    if (!core::SetSettings(settingsFile, group,
                           {{QStringLiteral("host"), address.host},
                            {QStringLiteral("port"), QString::number(address.port)}},
                           &error))
        qCWarning(lcRig) << "cannot write" << settingsFile << error;
}

} // namespace rig
