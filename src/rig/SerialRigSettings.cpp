#include "rig/SerialRigSettings.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "rig/CivModel.h"
#include "rig/KenwoodModel.h"
#include "rig/RigLogging.h"

#include <array>

namespace rig {

namespace {

constexpr std::array<int, 6> BaudRates{4800, 9600, 19200, 38400, 57600, 115200};

QString HexAddress(std::uint8_t address) {
    return QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper();
}

// Read only: the keys are written, with their notes, where the link is chosen. A blank value
// is the default.
core::SettingsGroupReader Group(const QString& file, const QString& group,
                                core::SettingsReport* report) {
    return core::SettingsGroupReader(file, group, report,
                                     core::SettingsGroupReader::Blank::KeepsDefault);
}

std::optional<int> Baud(const QString& text) {
    bool number = false;
    const int baud = text.toInt(&number);
    return number && KnownBaudRate(baud) ? std::optional<int>(baud) : std::nullopt;
}

void Store(const QString& file, const QString& group,
           const std::vector<std::pair<QString, QString>>& entries) {
    QString error;
    if (!core::SetSettings(file, group, entries, &error))
        qCWarning(lcRig) << "cannot write" << file << error;
}

// A model as its table spells it; nothing for a model the table does not list.
template <auto Find> std::optional<QString> ListedModel(const QString& text) {
    const auto* found = Find(text);
    return found ? std::optional<QString>(found->name) : std::nullopt;
}

} // namespace

bool KnownBaudRate(int baud) {
    return std::find(BaudRates.begin(), BaudRates.end(), baud) != BaudRates.end();
}

bool UsableCivAddress(int address) {
    return address >= 0x01 && address <= 0xDF;
}

CivSettings LoadCivSettings(const QString& settingsFile, core::SettingsReport* report) {
    core::SettingsGroupReader group = Group(settingsFile, QStringLiteral("civ"), report);
    CivSettings settings;
    group.value(QStringLiteral("model"), settings.model, ListedModel<FindCivModel>, settings.model);
    settings.address = FindCivModel(settings.model)->address;
    group.value(
        QStringLiteral("address"), settings.address,
        [](const QString& text) -> std::optional<std::uint8_t> {
            QString digits = text;
            if (digits.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
                digits.remove(0, 2);
            bool number = false;
            const int value = digits.toInt(&number, 16);
            return number && digits.size() <= 2 && UsableCivAddress(value)
                       ? std::optional<std::uint8_t>(std::uint8_t(value))
                       : std::nullopt;
        },
        HexAddress(settings.address));
    group.value(QStringLiteral("baud"), settings.baud, Baud, QString::number(settings.baud));
    return settings;
}

void StoreCivSettings(const QString& settingsFile, const CivSettings& settings) {
    // The model's own address is kept blank, so that it follows the model when the user
    // changes the model in the file; an address of the user's own stays.
    const CivModel* model = FindCivModel(settings.model);
    const bool own = model && model->address == settings.address;
    Store(settingsFile, QStringLiteral("civ"),
          {{QStringLiteral("model"), settings.model},
           {QStringLiteral("address"), own ? QString() : HexAddress(settings.address)},
           {QStringLiteral("baud"), QString::number(settings.baud)}});
}

KenwoodSettings LoadKenwoodSettings(const QString& settingsFile, core::SettingsReport* report) {
    core::SettingsGroupReader group = Group(settingsFile, QStringLiteral("kenwood"), report);
    KenwoodSettings settings;
    group.value(QStringLiteral("model"), settings.model, ListedModel<FindKenwoodModel>,
                settings.model);
    // Blank: the model's own.
    group.value(QStringLiteral("baud"), settings.baud, Baud, QString(), {},
                QString::number(FindKenwoodModel(settings.model)->baud));
    return settings;
}

void StoreKenwoodSettings(const QString& settingsFile, const KenwoodSettings& settings) {
    std::vector<std::pair<QString, QString>> entries{{QStringLiteral("model"), settings.model}};
    if (settings.baud > 0)
        entries.emplace_back(QStringLiteral("baud"), QString::number(settings.baud));
    Store(settingsFile, QStringLiteral("kenwood"), entries);
}

} // namespace rig
