#pragma once

#include "core/SettingsReport.h"

#include <QString>
#include <optional>

namespace rig {

// Where a rig server on the network listens: a rigctld daemon, or an flrig.
struct RigctldAddress {
    static constexpr int DefaultPort = 4532;

    QString host = QStringLiteral("localhost");
    int port = DefaultPort;

    // "localhost:4532".
    QString text() const;
    bool operator==(const RigctldAddress&) const = default;
};

// "host:port", "host" (defaultPort), "[::1]:4532"; nullopt for an empty host, a port outside
// 1..65535 or anything else that is not an address.
std::optional<RigctldAddress> ParseRigctldAddress(const QString& text,
                                                  int defaultPort = RigctldAddress::DefaultPort);

// The host and port keys of a group of the settings file ([rigctld], [flrig]); a missing or
// damaged entry gives that of defaults, a damaged one noted in report.
RigctldAddress LoadHostAddress(const QString& settingsFile, const QString& group,
                               const RigctldAddress& defaults,
                               core::SettingsReport* report = nullptr);
void StoreHostAddress(const QString& settingsFile, const QString& group,
                      const RigctldAddress& address);

inline RigctldAddress LoadRigctldAddress(const QString& settingsFile,
                                         core::SettingsReport* report = nullptr) {
    return LoadHostAddress(settingsFile, QStringLiteral("rigctld"), {}, report);
}
inline void StoreRigctldAddress(const QString& settingsFile, const RigctldAddress& address) {
    StoreHostAddress(settingsFile, QStringLiteral("rigctld"), address);
}

} // namespace rig
