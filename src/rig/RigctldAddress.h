#pragma once

#include "core/SettingsReport.h"

#include <QString>
#include <optional>

namespace rig {

// Where a rigctld daemon listens.
struct RigctldAddress {
    static constexpr int DefaultPort = 4532;

    QString host = QStringLiteral("localhost");
    int port = DefaultPort;

    // "localhost:4532".
    QString text() const;
    bool operator==(const RigctldAddress&) const = default;
};

// "host:port", "host" (the default port), "[::1]:4532"; nullopt for an empty host, a port
// outside 1..65535 or anything else that is not an address.
std::optional<RigctldAddress> ParseRigctldAddress(const QString& text);

// The [rigctld] group of the settings file; a missing or damaged entry gives its default, a
// damaged one noted in report.
RigctldAddress LoadRigctldAddress(const QString& settingsFile,
                                  core::SettingsReport* report = nullptr);
void StoreRigctldAddress(const QString& settingsFile, const RigctldAddress& address);

} // namespace rig
