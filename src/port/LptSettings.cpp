#include "port/LptSettings.h"

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
const DeviceKey DeviceKeys[] = {{"lpt/port888", &LptDevicePaths::port888},
                                {"lpt/port956", &LptDevicePaths::port956},
                                {"lpt/port632", &LptDevicePaths::port632}};

// The backends by name, in the order the help lists them.
struct BackendName {
    LptBackend backend;
    const char* name;
    const char* meaning;
};
const BackendName BackendNames[] = {
    {LptBackend::Auto, "auto", "ppdev when a device opens, else simulated"},
    {LptBackend::Simulated, "sim", "simulated"},
    {LptBackend::Ppdev, "ppdev", "/dev/parport0..2, group lp"},
    {LptBackend::DirectIo, "direct", "I/O ports, x86 and root only"},
    {LptBackend::Gpio, "gpio", "GPIO lines as [gpio] in Ventrolo.ini sets them, group gpio"},
};

QString BackendNameList() {
    QStringList names;
    for (const BackendName& b : BackendNames)
        names << QLatin1String(b.name);
    return names.join(QStringLiteral(", "));
}

} // namespace

std::optional<LptBackend> LptBackendFromText(const QString& text) {
    const QString t = text.trimmed();
    for (const BackendName& b : BackendNames) {
        if (t.compare(QLatin1String(b.name), Qt::CaseInsensitive) == 0)
            return b.backend;
    }
    return std::nullopt;
}

QList<core::OptionChoice> LptBackendChoices() {
    QList<core::OptionChoice> choices;
    for (const BackendName& b : BackendNames)
        choices.append({QLatin1String(b.name), QLatin1String(b.meaning)});
    return choices;
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
    QSettings ini(settingsFile, QSettings::IniFormat);
    if (!ini.contains(BackendKey))
        ini.setValue(BackendKey, QStringLiteral("auto"));
    const QString backendText = ini.value(BackendKey).toString();
    if (const auto backend = LptBackendFromText(backendText)) {
        result.backend = *backend;
    } else {
        result.problem = QStringLiteral("%1: [lpt] backend=%2 is not one of %3; the port is "
                                        "chosen automatically.")
                             .arg(settingsFile, backendText, BackendNameList());
    }
    for (const DeviceKey& d : DeviceKeys) {
        const QString key = QLatin1String(d.key);
        if (!ini.contains(key) || ini.value(key).toString().trimmed().isEmpty())
            ini.setValue(key, result.devices.*d.path);
        result.devices.*d.path = ini.value(key).toString().trimmed();
    }
    result.gpio = ReadGpioPinMap(ini, settingsFile);
    ini.sync();
    if (ini.status() != QSettings::NoError)
        qCWarning(lcLptSettings) << "cannot read or write" << settingsFile;
    return result;
}

LptBackendOptions LptOptionsFor(const core::CommandLineOptions& commandLine,
                                const QString& settingsFile, platform::Platform& platform) {
    const LptSettings settings = ReadLptSettings(settingsFile);
    LptBackendOptions options;
    options.devices = settings.devices;
    options.gpio = settings.gpio;
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
