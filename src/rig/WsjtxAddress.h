#pragma once

#include "core/SettingsReport.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace rig {

// Where the link listens for WSJT-X's datagrams: a UDP port on 127.0.0.1, or that port on a
// multicast group WSJT-X sends to, so that other programs (a logger) hear it too; and which
// programs it follows there, by the instance Id each datagram carries.
struct WsjtxAddress {
    static constexpr int DefaultPort = 2237;
    // The Ids of WSJT-X and JTDX started without a rig name.
    static QStringList DefaultIds();

    int port = DefaultPort;
    QString group;                  // empty: unicast on 127.0.0.1
    QStringList ids = DefaultIds(); // the instances followed; the datagrams of others are ignored
    // A turn that starts while the program has Tx enabled or transmits first sends it Halt Tx
    // (its automatic transmissions only).
    bool haltWhileTurning = false;

    // "2237", or "224.0.0.1:2237" with a group.
    QString text() const;
    bool operator==(const WsjtxAddress&) const = default;
};

// "2237", "224.0.0.1:2237", "224.0.0.1" (the default port), "[ff02::1]:2237"; nullopt for a
// port outside 1..65535, an address that is not a multicast group, anything else.
std::optional<WsjtxAddress> ParseWsjtxAddress(const QString& text);

// The [wsjtx] group of the settings file (port=, address=, id= the instance Ids followed, comma
// separated, haltWhileTurning=); a missing or damaged entry gives its default, a damaged one
// noted in report.
WsjtxAddress LoadWsjtxAddress(const QString& settingsFile, core::SettingsReport* report = nullptr);
void StoreWsjtxAddress(const QString& settingsFile, const WsjtxAddress& address);

} // namespace rig
