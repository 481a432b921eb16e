#pragma once

#include "core/SettingsReport.h"
#include "rig/RigctldAddress.h"
#include "rig/WsjtxAddress.h"
#include "tuning/RigLinkChoice.h"

#include <QString>
#include <optional>

namespace tuning {

// The second source of the rig's frequency, followed while the chosen link gives no reading:
//   [rig]
//   fallback=            ; empty: none; rigctld, rigctld:host:port, flrig, flrig:host:port,
//                        ; wsjtx, wsjtx:port, wsjtx:group:port, serial, civ or kenwood
// A key without an address takes that link's own group ([rigctld], [flrig], [wsjtx]); serial,
// civ and kenwood talk on the COM port chosen, so they serve only beside a first link on the
// network.
struct FallbackChoice {
    using Link = RigLinkChoice::Link;

    std::optional<Link> link;    // nullopt: none
    rig::RigctldAddress address; // rigctld, flrig
    rig::WsjtxAddress wsjtx;

    // "rigctld localhost:4532", "flrig 127.0.0.1:12345", "WSJT-X UDP 2237", "civ".
    QString text() const;
    // Whether it would talk on the same serial port (or through the same link) as first.
    bool sharesLineWith(Link first) const;
};

// "rigctld:host:port" and the others above; the links' own groups give what a key leaves out.
// nullopt: not a fallback.
std::optional<FallbackChoice> ParseFallback(const QString& text, const RigLinkChoice& links);
// [rig] fallback=. One that cannot be used, or that shares the serial port of the link chosen
// in [rig] link=, is none and noted in report.
FallbackChoice ReadFallback(const QString& settingsFile, const RigLinkChoice& links,
                            core::SettingsReport* report = nullptr);

} // namespace tuning
