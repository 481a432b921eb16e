#include "tuning/RigLinkChoice.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "rig/FlrigRig.h"
#include "rig/RigLogging.h"
#include "rig/SerialDeviceMap.h"
#include "rig/WsjtxAddress.h"
#include "tuning/RigLinkKinds.h"

#include <optional>
#include <type_traits>

namespace tuning {

namespace {

const QString FlrigGroup = QStringLiteral("flrig");

QByteArray LinkValue(RigLinkChoice::Link link) {
    return KindOf(link).key;
}

struct DefaultKey {
    QString key;
    QString value;
    QString note;
};

// The keys of every link with their defaults, made where missing so that the user finds them
// to edit; what is there is read (and judged) by each link's own settings.
void AddMissingKeys(const QString& file) {
    const auto text = [](const char* t) { return QString::fromLatin1(t); };
    const rig::RigctldAddress rigctld;
    const rig::RigctldAddress flrig = rig::FlrigRig::defaultAddress();
    const rig::WsjtxAddress wsjtx;
    const rig::CivSettings civ;
    const rig::KenwoodSettings kenwood;
    const std::vector<std::pair<QString, std::vector<DefaultKey>>> groups{
        {text("rig"),
         {{text("link"), QString::fromLatin1(LinkValue(RigLinkChoice::Link::Serial)),
           text("serial (COM1..COM4 of [serial]), simulated, rigctld, flrig, wsjtx, civ or "
                "kenwood")},
          {text("holdWhileTransmitting"), text("true"),
           text("no turning while the rig transmits")}}},
        {text("rigctld"),
         {{text("host"), rigctld.host, text("where the rigctld link finds the daemon")},
          {text("port"), QString::number(rigctld.port), {}}}},
        {text("flrig"),
         {{text("host"), flrig.host, text("where the flrig link finds flrig's XML-RPC server")},
          {text("port"), QString::number(flrig.port), {}}}},
        {text("wsjtx"),
         {{text("port"), QString::number(wsjtx.port),
           text("the UDP port WSJT-X / JTDX send their status to")},
          {text("address"), {}, text("the multicast group they send to; blank: 127.0.0.1")},
          {text("id"), rig::WsjtxAddress::DefaultIds().join(QLatin1Char(',')),
           text("the instances followed; WSJT-X started with --rig-name=X is \"WSJT-X - X\"")}}},
        {text("civ"),
         {{text("model"), civ.model,
           text("IC-7300, IC-705, IC-9700, IC-7610 or IC-7100, on the COM port chosen")},
          {text("address"), {}, text("the rig's CI-V address in hex; blank: the model's own")},
          {text("baud"), QString::number(civ.baud), text("the rig's CI-V baud rate")}}},
        {text("kenwood"),
         {{text("model"), kenwood.model,
           text("a Kenwood, Elecraft or current Yaesu rig, on the COM port chosen")},
          {text("baud"), {}, text("blank: the model's own")}}},
    };
    for (const auto& [group, keys] : groups) {
        core::SettingsGroupReader reader(file, group, nullptr);
        for (const DefaultKey& key : keys)
            reader.read(key.key, key.value, key.note, [](const QString&) { return true; });
        QString error;
        if (!reader.addMissing(&error)) {
            core::LogDefaultsNotAdded(lcRig(), file, error);
            return;
        }
    }
}

} // namespace

RigLinkChoice::RigLinkChoice(QString programDirectory, rig::CatControl& cat,
                             rig::SerialLink& serial, rig::SimulatedRig& simulated)
    : directory_(std::move(programDirectory)), cat_(cat), serial_(serial), simulated_(simulated),
      flrigAddress_(rig::FlrigRig::defaultAddress()) {}

QString RigLinkChoice::settingsFile() const {
    return directory_ + QStringLiteral("/Ventrolo.ini");
}

void RigLinkChoice::Load(core::SettingsReport* report) {
    link_ = Link::Serial;
    {
        // An unknown value stays for the user to mend; a missing key is added with the other
        // links' keys below.
        core::SettingsGroupReader rig(settingsFile(), QStringLiteral("rig"), report,
                                      core::SettingsGroupReader::Blank::KeepsDefault);
        rig.value(
            QStringLiteral("link"), link_,
            [](const QString& text) -> std::optional<Link> {
                const RigLinkKind* kind = FindLinkKind(text);
                return kind ? std::optional(kind->link) : std::nullopt;
            },
            QString::fromLatin1(LinkValue(link_)));
    }
    address_ = rig::LoadRigctldAddress(settingsFile(), report);
    flrigAddress_ =
        rig::LoadHostAddress(settingsFile(), FlrigGroup, rig::FlrigRig::defaultAddress(), report);
    wsjtxAddress_ = rig::LoadWsjtxAddress(settingsFile(), report);
    civ_ = rig::LoadCivSettings(settingsFile(), report);
    kenwood_ = rig::LoadKenwoodSettings(settingsFile(), report);
    swrTune_ = LoadSwrTuneSettings(settingsFile(), report);
    (void)rig::SerialDeviceMap::Load(directory_);
    AddMissingKeys(settingsFile());
    (void)cat_.setLink(simulated() ? static_cast<rig::SerialLink&>(simulated_) : serial_);
}

bool RigLinkChoice::Choose(Link link) {
    if (!cat_.setLink(link == Link::Simulated ? static_cast<rig::SerialLink&>(simulated_)
                                              : serial_))
        return false;
    if (link != link_) {
        link_ = link;
        store();
    }
    return true;
}

bool RigLinkChoice::network() const {
    return KindOf(link_).network;
}

bool RigLinkChoice::Choose(Link link, const Settings& settings) {
    if (!Choose(link))
        return false;
    // Each kept in its own group; a file that cannot be written keeps it for this run only.
    const auto keep = [&](auto& kept, auto write) {
        using Kept = std::decay_t<decltype(kept)>;
        const Kept* chosen = std::get_if<Kept>(&settings);
        if (chosen && !(*chosen == kept)) {
            kept = *chosen;
            write(kept);
        }
    };
    const QString file = settingsFile();
    switch (link) {
    case Link::Rigctld:
        keep(address_, [&](const auto& s) { rig::StoreRigctldAddress(file, s); });
        break;
    case Link::Flrig:
        keep(flrigAddress_, [&](const auto& s) { rig::StoreHostAddress(file, FlrigGroup, s); });
        break;
    case Link::Wsjtx:
        keep(wsjtxAddress_, [&](const auto& s) { rig::StoreWsjtxAddress(file, s); });
        break;
    case Link::Civ:
        keep(civ_, [&](const auto& s) { rig::StoreCivSettings(file, s); });
        break;
    case Link::Kenwood:
        keep(kenwood_, [&](const auto& s) { rig::StoreKenwoodSettings(file, s); });
        break;
    case Link::Serial:
    case Link::Simulated:
        break;
    }
    return true;
}

void RigLinkChoice::store() {
    // Only the one line changes: the user's comments and everything else stay as written.
    QString error;
    if (!core::SetSettings(settingsFile(), QStringLiteral("rig"),
                           {{QStringLiteral("link"), QString::fromLatin1(LinkValue(link_))}},
                           &error))
        qCWarning(lcRig) << "cannot write" << settingsFile() << error;
}

} // namespace tuning
