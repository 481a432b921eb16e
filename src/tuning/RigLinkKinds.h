#pragma once

#include "platform/Platform.h"
#include "rig/CatLog.h"
#include "rig/RigConnection.h"
#include "rig/SerialLink.h"
#include "tuning/RigLinkChoice.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace tuning {

// The Com menu's question for a link's settings: the prompt, the text the box starts with,
// the settings a typed answer gives (nullopt: not one) and what the user is told then.
struct RigLinkQuestion {
    QString (*prompt)();
    QString (*current)(const RigLinkChoice& links);
    std::optional<RigLinkChoice::Settings> (*parse)(const QString& typed,
                                                    const RigLinkChoice& links);
    QString (*notOne)(const QString& typed);
};

// What the program needs to make a link.
struct RigLinkMaking {
    platform::Platform& platform;
    rig::SerialLink& serial; // the COM port chosen
    rig::CatLog& log;
    // Where a link keeps the record of a PTT it keyed; empty: none kept.
    QString programDirectory{};
};

// One kind of rig link: its key in [rig] link=, how the Com menu asks for its settings and how
// its connection is made and given them. Adding a link is one entry of RigLinkKinds().
struct RigLinkKind {
    RigLinkChoice::Link link;
    QByteArray key;
    // A program on the network, not a line of our own.
    bool network = false;
    // nullptr: chosen without a question (the COM port or the simulated rig).
    const RigLinkQuestion* question = nullptr;
    // The connection; nullptr for the Yaesu CAT link, which the program always has.
    std::unique_ptr<rig::RigConnection> (*make)(const RigLinkMaking& making) = nullptr;
    // Gives a connection of this kind the settings chosen (at the next opening).
    void (*configure)(rig::RigConnection& link, const RigLinkChoice& links) = nullptr;
};

const std::vector<RigLinkKind>& RigLinkKinds();
const RigLinkKind& KindOf(RigLinkChoice::Link link);
// The kind of a [rig] link= value (any case); nullptr for none.
const RigLinkKind* FindLinkKind(const QString& key);

} // namespace tuning
