#include "tuning/RigLinkKinds.h"

#include "rig/CivRig.h"
#include "rig/FlrigRig.h"
#include "rig/KenwoodRig.h"
#include "rig/RigctldRig.h"
#include "rig/WsjtxRig.h"

#include <QRegularExpression>
#include <QStringList>

namespace tuning {

namespace {

using Link = RigLinkChoice::Link;

QString Quoted(const QString& typed) {
    return QStringLiteral("\"") + typed + QStringLiteral("\"");
}

template <typename Model> QString ModelList(const std::vector<Model>& models) {
    QStringList names;
    for (const Model& model : models)
        names << model.name;
    return names.join(QStringLiteral(", "));
}

// "IC-705" or "IC-705 A4": the model, then the rig's CI-V address in hex when it is not the
// model's own.
std::optional<rig::CivSettings> ParseCivChoice(const QString& typed, int baud) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\S+)(?:\s+(?:0x)?([0-9A-Fa-f]{1,2}))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(typed);
    const rig::CivModel* model = match.hasMatch() ? rig::FindCivModel(match.captured(1)) : nullptr;
    if (!model)
        return std::nullopt;
    rig::CivSettings settings{model->name, model->address, baud};
    if (match.hasCaptured(2)) {
        const int address = match.captured(2).toInt(nullptr, 16);
        if (!rig::UsableCivAddress(address))
            return std::nullopt;
        settings.address = std::uint8_t(address);
    }
    return settings;
}

template <typename Settings>
std::optional<RigLinkChoice::Settings> Chosen(const std::optional<Settings>& settings) {
    return settings ? std::optional<RigLinkChoice::Settings>(*settings) : std::nullopt;
}

const RigLinkQuestion RigctldQuestion{
    [] { return QStringLiteral("rigctld host:port (the daemon that shares the rig):"); },
    [](const RigLinkChoice& links) { return links.rigctldAddress().text(); },
    [](const QString& typed, const RigLinkChoice&) {
        return Chosen(rig::ParseRigctldAddress(typed));
    },
    [](const QString& typed) {
        return Quoted(typed) + QStringLiteral(" is not a rigctld address.") +
               QStringLiteral("\r\nType host:port, e.g. localhost:4532.");
    }};

const RigLinkQuestion FlrigQuestion{
    [] { return QStringLiteral("flrig host:port (the rig server that shares the rig):"); },
    [](const RigLinkChoice& links) { return links.flrigAddress().text(); },
    [](const QString& typed, const RigLinkChoice&) {
        return Chosen(rig::ParseRigctldAddress(typed, rig::FlrigRig::DefaultPort));
    },
    [](const QString& typed) {
        return Quoted(typed) + QStringLiteral(" is not an flrig address.") +
               QStringLiteral("\r\nType host:port, e.g. 127.0.0.1:12345.");
    }};

const RigLinkQuestion WsjtxQuestion{
    [] {
        return QStringLiteral("WSJT-X UDP port, after the multicast group it sends to if any "
                              "(2237, 224.0.0.1:2237):");
    },
    [](const RigLinkChoice& links) { return links.wsjtxAddress().text(); },
    [](const QString& typed, const RigLinkChoice& links) {
        std::optional<rig::WsjtxAddress> address = rig::ParseWsjtxAddress(typed);
        // The instances followed are the settings file's alone.
        if (address)
            address->ids = links.wsjtxAddress().ids;
        return Chosen(address);
    },
    [](const QString& typed) {
        return Quoted(typed) + QStringLiteral(" is not a WSJT-X UDP address.") +
               QStringLiteral("\r\nType a port, e.g. 2237, or group:port, e.g. 224.0.0.1:2237.");
    }};

const RigLinkQuestion CivQuestion{
    [] {
        return QStringLiteral("Icom model (") + ModelList(rig::CivModels()) +
               QStringLiteral(") and, if not the model's own, the rig's CI-V address in hex:");
    },
    [](const RigLinkChoice& links) {
        const rig::CivSettings& now = links.civSettings();
        return now.model + QLatin1Char(' ') +
               QStringLiteral("%1").arg(now.address, 2, 16, QLatin1Char('0')).toUpper();
    },
    [](const QString& typed, const RigLinkChoice& links) {
        return Chosen(ParseCivChoice(typed, links.civSettings().baud));
    },
    [](const QString& typed) {
        return Quoted(typed) + QStringLiteral(" is not an Icom rig.") +
               QStringLiteral("\r\nType the model and its address, e.g. IC-7300 94.");
    }};

const RigLinkQuestion KenwoodQuestion{
    [] {
        return QStringLiteral("Model (") + ModelList(rig::KenwoodModels()) + QStringLiteral("):");
    },
    [](const RigLinkChoice& links) { return links.kenwoodSettings().model; },
    [](const QString& typed, const RigLinkChoice& links) {
        const rig::KenwoodModel* model = rig::FindKenwoodModel(typed);
        if (!model)
            return std::optional<RigLinkChoice::Settings>();
        rig::KenwoodSettings settings = links.kenwoodSettings();
        // Another model talks at its own rate unless one was set for it.
        if (model->name != settings.model)
            settings.baud = 0;
        settings.model = model->name;
        return std::optional<RigLinkChoice::Settings>(settings);
    },
    [](const QString& typed) {
        return Quoted(typed) + QStringLiteral(" is not a rig of the Kenwood family.");
    }};

} // namespace

const std::vector<RigLinkKind>& RigLinkKinds() {
    static const std::vector<RigLinkKind> kinds{
        {Link::Serial, "serial"},
        {Link::Simulated, "simulated"},
        {Link::Rigctld, "rigctld", true, &RigctldQuestion,
         [](const RigLinkMaking& making) -> std::unique_ptr<rig::RigConnection> {
             auto rigctld = std::make_unique<rig::RigctldRig>(making.platform);
             rigctld->keepKeyedRecordIn(making.programDirectory);
             return rigctld;
         },
         [](rig::RigConnection& link, const RigLinkChoice& links) {
             static_cast<rig::RigctldRig&>(link).setAddress(links.rigctldAddress());
         }},
        {Link::Flrig, "flrig", true, &FlrigQuestion,
         [](const RigLinkMaking& making) -> std::unique_ptr<rig::RigConnection> {
             auto flrig = std::make_unique<rig::FlrigRig>(making.platform, &making.log);
             flrig->keepKeyedRecordIn(making.programDirectory);
             return flrig;
         },
         [](rig::RigConnection& link, const RigLinkChoice& links) {
             static_cast<rig::FlrigRig&>(link).setAddress(links.flrigAddress());
         }},
        {Link::Wsjtx, "wsjtx", true, &WsjtxQuestion,
         [](const RigLinkMaking& making) -> std::unique_ptr<rig::RigConnection> {
             return std::make_unique<rig::WsjtxRig>(making.platform, &making.log);
         },
         [](rig::RigConnection& link, const RigLinkChoice& links) {
             static_cast<rig::WsjtxRig&>(link).setAddress(links.wsjtxAddress());
         }},
        {Link::Civ, "civ", false, &CivQuestion,
         [](const RigLinkMaking& making) -> std::unique_ptr<rig::RigConnection> {
             auto civ = std::make_unique<rig::CivRig>(making.platform, making.serial, making.log);
             civ->keepKeyedRecordIn(making.programDirectory);
             return civ;
         },
         [](rig::RigConnection& link, const RigLinkChoice& links) {
             static_cast<rig::CivRig&>(link).setSettings(links.civSettings());
         }},
        {Link::Kenwood, "kenwood", false, &KenwoodQuestion,
         [](const RigLinkMaking& making) -> std::unique_ptr<rig::RigConnection> {
             auto kenwood =
                 std::make_unique<rig::KenwoodRig>(making.platform, making.serial, making.log);
             kenwood->keepKeyedRecordIn(making.programDirectory);
             return kenwood;
         },
         [](rig::RigConnection& link, const RigLinkChoice& links) {
             static_cast<rig::KenwoodRig&>(link).setModel(links.kenwoodSettings().model,
                                                          links.kenwoodSettings().baud);
         }},
    };
    return kinds;
}

const RigLinkKind& KindOf(RigLinkChoice::Link link) {
    for (const RigLinkKind& kind : RigLinkKinds())
        if (kind.link == link)
            return kind;
    return RigLinkKinds().front();
}

const RigLinkKind* FindLinkKind(const QString& key) {
    const QByteArray wanted = key.toLower().toUtf8();
    for (const RigLinkKind& kind : RigLinkKinds())
        if (kind.key == wanted)
            return &kind;
    return nullptr;
}

} // namespace tuning
