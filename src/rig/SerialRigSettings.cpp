#include "rig/SerialRigSettings.h"

#include "core/SettingsFile.h"
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

// Reads key; a value that is there but unusable (check gives nullopt) is noted with the one
// kept.
template <typename T, typename Check>
std::optional<T> Read(const QSettings& ini, const QString& file, const QString& key,
                      core::SettingsReport* report, Check check, const QString& kept) {
    const QString text = core::SettingsText(ini, key).value_or(QString());
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<T> value = check(text);
    if (!value && report)
        report->Unused(file, key, text, kept);
    return value;
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

} // namespace

bool KnownBaudRate(int baud) {
    return std::find(BaudRates.begin(), BaudRates.end(), baud) != BaudRates.end();
}

bool UsableCivAddress(int address) {
    return address >= 0x01 && address <= 0xDF;
}

CivSettings LoadCivSettings(const QString& settingsFile, core::SettingsReport* report) {
    const core::IniSettings ini(settingsFile);
    CivSettings settings;
    if (const auto model = Read<QString>(
            ini, settingsFile, QStringLiteral("civ/model"), report,
            [](const QString& text) -> std::optional<QString> {
                const CivModel* found = FindCivModel(text);
                return found ? std::optional<QString>(found->name) : std::nullopt;
            },
            settings.model))
        settings.model = *model;
    settings.address = FindCivModel(settings.model)->address;
    if (const auto address = Read<std::uint8_t>(
            ini, settingsFile, QStringLiteral("civ/address"), report,
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
            HexAddress(settings.address)))
        settings.address = *address;
    if (const auto baud = Read<int>(ini, settingsFile, QStringLiteral("civ/baud"), report, Baud,
                                    QString::number(settings.baud)))
        settings.baud = *baud;
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
    const core::IniSettings ini(settingsFile);
    KenwoodSettings settings;
    if (const auto model = Read<QString>(
            ini, settingsFile, QStringLiteral("kenwood/model"), report,
            [](const QString& text) -> std::optional<QString> {
                const KenwoodModel* found = FindKenwoodModel(text);
                return found ? std::optional<QString>(found->name) : std::nullopt;
            },
            settings.model))
        settings.model = *model;
    const int ownBaud = FindKenwoodModel(settings.model)->baud;
    if (const auto baud = Read<int>(ini, settingsFile, QStringLiteral("kenwood/baud"), report, Baud,
                                    QString::number(ownBaud)))
        settings.baud = *baud;
    return settings;
}

void StoreKenwoodSettings(const QString& settingsFile, const KenwoodSettings& settings) {
    std::vector<std::pair<QString, QString>> entries{{QStringLiteral("model"), settings.model}};
    if (settings.baud > 0)
        entries.emplace_back(QStringLiteral("baud"), QString::number(settings.baud));
    Store(settingsFile, QStringLiteral("kenwood"), entries);
}

} // namespace rig
