#include "port/LptSettings.h"

#include "core/SettingsFile.h"
#include "core/VersionTexts.h"

#include <QLoggingCategory>
#include <QSettings>

namespace port {

Q_LOGGING_CATEGORY(lcLptSettings, "ventrolo.port.settings")

namespace {

const QString BackendKey = QStringLiteral("lpt/backend");

struct DeviceKey {
    const char* key;
    QString LptDevicePaths::*path;
};
const DeviceKey DeviceKeys[] = {{"port888", &LptDevicePaths::port888},
                                {"port956", &LptDevicePaths::port956},
                                {"port632", &LptDevicePaths::port632}};

} // namespace

std::optional<LptBackend> LptBackendFromText(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("auto"))
        return LptBackend::Auto;
    if (t == QLatin1String("sim"))
        return LptBackend::Simulated;
    if (t == QLatin1String("ppdev"))
        return LptBackend::Ppdev;
    if (t == QLatin1String("direct"))
        return LptBackend::DirectIo;
    return std::nullopt;
}

QString LptDevicePaths::forAddress(std::uint16_t address) const {
    switch (address) {
    case 888:
        return port888;
    case 956:
        return port956;
    case 632:
        return port632;
    default:
        return {};
    }
}

LptSettings ReadLptSettings(const QString& settingsFile) {
    LptSettings result;
    std::vector<std::pair<QString, QString>> missing;
    {
        const QSettings ini(settingsFile, QSettings::IniFormat);
        if (!core::SettingsContain(ini, BackendKey)) {
            missing.emplace_back(QStringLiteral("backend"), QStringLiteral("auto"));
        } else {
            const QString backendText = core::SettingsText(ini, BackendKey).value_or(QString());
            if (const auto backend = LptBackendFromText(backendText)) {
                result.backend = *backend;
            } else {
                result.problem = QStringLiteral("%1: [lpt] backend=%2 is not one of auto, sim, "
                                                "ppdev, direct; the port is chosen automatically.")
                                     .arg(settingsFile, backendText);
            }
        }
        for (const DeviceKey& d : DeviceKeys) {
            if (const auto path = core::SettingsText(ini, QStringLiteral("lpt/") + d.key))
                result.devices.*d.path = *path;
            else // missing or blank: the default, written for the user to find
                missing.emplace_back(QLatin1String(d.key), result.devices.*d.path);
        }
    }
    QString error;
    if (!missing.empty() &&
        !core::AppendSettings(settingsFile, QStringLiteral("lpt"), missing, &error))
        qCWarning(lcLptSettings) << "cannot write" << settingsFile << error;
    return result;
}

LptBackendOptions LptOptionsFor(const core::CommandLineOptions& commandLine,
                                const QString& settingsFile, platform::Platform& platform) {
    const LptSettings settings = ReadLptSettings(settingsFile);
    LptBackendOptions options;
    options.devices = settings.devices;
    options.portLogFile = commandLine.portLogFile;
    if (const auto given = LptBackendFromText(commandLine.lpt)) {
        options.choice = *given;
    } else {
        options.choice = settings.backend;
        if (!settings.problem.isEmpty())
            platform.messageBox(settings.problem, core::MessageTitle(),
                                platform::Icon::Exclamation);
    }
    return options;
}

} // namespace port
