// Automatic tuning on the rigs that talk in messages on the serial port chosen by COM1..COM4:
// Icom's CI-V and the Kenwood family's ASCII commands.
#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

#include <QRegularExpression>

namespace tuning {

namespace {

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

} // namespace

void RigTuning::useSerialRig(rig::RigConnection& rig) {
    if (!setConnection(rig))
        return;
    portButton_ = PortButton::ComPort;
    pollShown_ = false;
    emit changed();
}

void RigTuning::useCiv() {
    civ_->setSettings(links_.civSettings());
    useSerialRig(*civ_);
}

void RigTuning::useKenwood() {
    kenwood_->setModel(links_.kenwoodSettings().model, links_.kenwoodSettings().baud);
    useSerialRig(*kenwood_);
}

void RigTuning::SelectCiv() {
    if (!menusEnabled() || !civ_)
        return;
    const PollPause pause(*this);
    const rig::CivSettings& now = links_.civSettings();
    const QString typed = platform_.inputBox(
        QStringLiteral("Icom model (") + ModelList(rig::CivModels()) +
            QStringLiteral(") and, if not the model's own, the rig's CI-V address in hex:"),
        core::MessageTitle(),
        now.model + QLatin1Char(' ') +
            QStringLiteral("%1").arg(now.address, 2, 16, QLatin1Char('0')).toUpper());
    if (typed.trimmed().isEmpty()) // cancelled
        return;
    const std::optional<rig::CivSettings> chosen = ParseCivChoice(typed, now.baud);
    if (!chosen) {
        tell(QStringLiteral("\"") + typed + QStringLiteral("\" is not an Icom rig.") +
             QStringLiteral("\r\nType the model and its address, e.g. IC-7300 94."));
        return;
    }
    if (!menusEnabled() || !links_.ChooseCiv(*chosen))
        return;
    useCiv();
}

void RigTuning::SelectKenwood() {
    if (!menusEnabled() || !kenwood_)
        return;
    const PollPause pause(*this);
    rig::KenwoodSettings settings = links_.kenwoodSettings();
    const QString typed = platform_.inputBox(
        QStringLiteral("Model (") + ModelList(rig::KenwoodModels()) + QStringLiteral("):"),
        core::MessageTitle(), settings.model);
    if (typed.trimmed().isEmpty()) // cancelled
        return;
    const rig::KenwoodModel* model = rig::FindKenwoodModel(typed);
    if (!model) {
        tell(QStringLiteral("\"") + typed +
             QStringLiteral("\" is not a rig of the Kenwood family."));
        return;
    }
    // Another model talks at its own rate unless one was set for it.
    if (model->name != settings.model)
        settings.baud = 0;
    settings.model = model->name;
    if (!menusEnabled() || !links_.ChooseKenwood(settings))
        return;
    useKenwood();
}

} // namespace tuning
