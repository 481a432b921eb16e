#include "tuning/FallbackChoice.h"

#include "core/SettingsGroupReader.h"

namespace tuning {

namespace {

bool OnSerialPort(RigLinkChoice::Link link) {
    using Link = RigLinkChoice::Link;
    return link == Link::Serial || link == Link::Civ || link == Link::Kenwood;
}

} // namespace

QString FallbackChoice::text() const {
    if (!link)
        return QStringLiteral("none");
    switch (*link) {
    case Link::Rigctld:
        return QStringLiteral("rigctld ") + address.text();
    case Link::Flrig:
        return QStringLiteral("flrig ") + address.text();
    case Link::Wsjtx:
        return QStringLiteral("WSJT-X UDP ") + wsjtx.text();
    case Link::Civ:
        return QStringLiteral("civ");
    case Link::Kenwood:
        return QStringLiteral("kenwood");
    case Link::Serial:
    case Link::Simulated:
        break;
    }
    return QStringLiteral("serial");
}

bool FallbackChoice::sharesLineWith(Link first) const {
    if (!link)
        return false;
    // The Yaesu CAT link is the simulated rig's link as well.
    return (OnSerialPort(*link) && OnSerialPort(first)) ||
           (*link == Link::Serial && first == Link::Simulated);
}

std::optional<FallbackChoice> ParseFallback(const QString& text, const RigLinkChoice& links) {
    using Link = RigLinkChoice::Link;
    const QString given = text.trimmed();
    const qsizetype colon = given.indexOf(QLatin1Char(':'));
    const QString key = given.left(colon).toLower();
    const QString rest = colon < 0 ? QString() : given.mid(colon + 1);
    FallbackChoice choice;
    if (key == QLatin1String("rigctld") || key == QLatin1String("flrig")) {
        const bool rigctld = key == QLatin1String("rigctld");
        choice.link = rigctld ? Link::Rigctld : Link::Flrig;
        choice.address = rigctld ? links.rigctldAddress() : links.flrigAddress();
        if (colon >= 0) {
            const std::optional<rig::RigctldAddress> address =
                rig::ParseRigctldAddress(rest, choice.address.port);
            if (!address)
                return std::nullopt;
            choice.address = *address;
        }
        return choice;
    }
    if (key == QLatin1String("wsjtx")) {
        choice.link = Link::Wsjtx;
        choice.wsjtx = links.wsjtxAddress();
        if (colon >= 0) {
            std::optional<rig::WsjtxAddress> address = rig::ParseWsjtxAddress(rest);
            if (!address)
                return std::nullopt;
            address->ids = choice.wsjtx.ids;
            address->haltWhileTurning = choice.wsjtx.haltWhileTurning;
            choice.wsjtx = *address;
        }
        return choice;
    }
    if (colon >= 0)
        return std::nullopt;
    if (key == QLatin1String("serial"))
        choice.link = Link::Serial;
    else if (key == QLatin1String("civ"))
        choice.link = Link::Civ;
    else if (key == QLatin1String("kenwood"))
        choice.link = Link::Kenwood;
    else
        return std::nullopt;
    return choice;
}

FallbackChoice ReadFallback(const QString& settingsFile, const RigLinkChoice& links,
                            core::SettingsReport* report) {
    FallbackChoice choice;
    core::SettingsGroupReader reader(settingsFile, QStringLiteral("rig"), report,
                                     core::SettingsGroupReader::Blank::KeepsDefault);
    reader.value(
        QStringLiteral("fallback"), choice,
        [&links](const QString& text) { return ParseFallback(text, links); }, QString(), {},
        QStringLiteral("none"));
    if (choice.sharesLineWith(links.link())) {
        reader.unused(QStringLiteral("fallback"), choice.text(),
                      QStringLiteral("none (the link chosen in [rig] link= talks on the same "
                                     "serial port)"));
        return {};
    }
    return choice;
}

} // namespace tuning
