#include "rig/RigctldAddress.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "rig/RigLogging.h"

namespace rig {

QString RigctldAddress::text() const {
    const QString shown =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shown + QLatin1Char(':') + QString::number(port);
}

std::optional<RigctldAddress> ParseRigctldAddress(const QString& text, int defaultPort) {
    const auto given = core::ParseHostPort(text, defaultPort);
    if (!given)
        return std::nullopt;
    return RigctldAddress{given->host, given->port};
}

RigctldAddress LoadHostAddress(const QString& settingsFile, const QString& group,
                               const RigctldAddress& defaults, core::SettingsReport* report) {
    // Read only: the keys are written, with their notes, where the link is chosen. A blank value
    // is the default.
    core::SettingsGroupReader reader(settingsFile, group, report,
                                     core::SettingsGroupReader::Blank::KeepsDefault);
    RigctldAddress address = defaults;
    reader.host(QStringLiteral("host"), address.host);
    reader.integer(QStringLiteral("port"), address.port, 1, 65535);
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
