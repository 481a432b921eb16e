#include "station/RotorDatagramSettings.h"

#include "core/ServerSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "station/StationLogging.h"

namespace station {

namespace {

void ReadAllowed(core::SettingsGroupReader& group, QList<QHostAddress>& allowed) {
    group.read(
        QStringLiteral("allow"), QString(),
        QStringLiteral("the peers heard off loopback, by address, parted by commas"),
        [&](const QString& text) {
            QList<QHostAddress> peers;
            for (const QString& word : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QHostAddress peer(word.trimmed());
                if (peer.isNull())
                    return false;
                peers << peer;
            }
            allowed = peers;
            return true;
        },
        QStringLiteral("none"));
}

RotorDatagramSettings ReadGroup(const QString& settingsFile, const QString& name,
                                const QString& what, quint16 port, bool heading,
                                core::SettingsReport* report) {
    RotorDatagramSettings result;
    result.port = port;
    core::SettingsGroupReader group(settingsFile, name, report);
    core::ReadServerKeys(group, what, QStringLiteral("0.0.0.0 to hear every network"),
                         result.enabled, result.port, result.address,
                         QStringLiteral("its UDP port"));
    ReadAllowed(group, result.allowed);
    if (heading) {
        group.read(QStringLiteral("headingTo"), result.headingTo.toString(),
                   QStringLiteral("the address the heading goes to (a broadcast address too)"),
                   [&](const QString& text) {
                       const QHostAddress to(text.trimmed());
                       if (!to.isNull())
                           result.headingTo = to;
                       return !to.isNull();
                   });
        int headingPort = result.headingPort;
        if (group.integer(QStringLiteral("headingPort"), headingPort, 1, 65535))
            result.headingPort = quint16(headingPort);
        group.text(QStringLiteral("rotor"), result.rotor,
                   QStringLiteral("the rotor's name in the heading"));
    }
    QString error;
    if (!group.addMissing(&error))
        core::LogDefaultsNotAdded(lcStation(), settingsFile, error);
    return result;
}

} // namespace

RotorDatagramSettings ReadLoggerRotorSettings(const QString& settingsFile,
                                              core::SettingsReport* report) {
    return ReadGroup(settingsFile, QStringLiteral("n1mmRotor"),
                     QStringLiteral("N1MM Logger+'s rotor datagrams turn the stepper"), 12040, true,
                     report);
}

RotorDatagramSettings ReadPstRotatorSettings(const QString& settingsFile,
                                             core::SettingsReport* report) {
    return ReadGroup(settingsFile, QStringLiteral("pstRotator"),
                     QStringLiteral("PstRotator's UDP commands turn the stepper"), 12000, false,
                     report);
}

} // namespace station
