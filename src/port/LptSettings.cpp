#include "port/LptSettings.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"

#include <QLoggingCategory>

namespace port {

Q_LOGGING_CATEGORY(lcLptSettings, "ventrolo.port.settings")

namespace {

struct DeviceKey {
    const char* key;
    QString LptDevicePaths::*path;
};
const DeviceKey DeviceKeys[] = {{"port888", &LptDevicePaths::port888},
                                {"port956", &LptDevicePaths::port956},
                                {"port632", &LptDevicePaths::port632}};

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

LptSettings ReadLptSettings(const QString& settingsFile, core::SettingsReport* report) {
    LptSettings result;
    core::SettingsGroupReader lpt(settingsFile, QStringLiteral("lpt"), report);
    if (!lpt.value(QStringLiteral("backend"), result.backend, LptBackendFromText,
                   QStringLiteral("auto")) &&
        !lpt.unusable().isEmpty())
        result.problem = QStringLiteral("%1: [lpt] %2 is not one of %3; the port is chosen "
                                        "automatically.")
                             .arg(settingsFile, lpt.unusable().constFirst(), BackendNameList());
    for (const DeviceKey& d : DeviceKeys)
        lpt.text(QLatin1String(d.key), result.devices.*d.path);
    // The [gpio] problems are told when the gpio backend opens, not in the report.
    core::SettingsGroupReader gpio(settingsFile, QStringLiteral("gpio"), nullptr,
                                   core::SettingsGroupReader::Blank::Missing);
    result.gpio = ReadGpioPinMap(gpio, settingsFile);
    QString error;
    if (!lpt.appendMissing({}, &error))
        core::LogDefaultsNotAdded(lcLptSettings(), settingsFile, error);
    if (!gpio.appendMissing({}, &error))
        core::LogDefaultsNotAdded(lcLptSettings(), settingsFile, error);
    return result;
}

LptBackendOptions LptOptionsFor(const core::CommandLineOptions& commandLine,
                                const QString& settingsFile, core::SettingsReport& report) {
    const auto given = LptBackendFromText(commandLine.lpt);
    // With a backend on the command line the file's does not matter: it is not reported.
    const LptSettings settings = ReadLptSettings(settingsFile, given ? nullptr : &report);
    LptBackendOptions options;
    options.devices = settings.devices;
    options.gpio = settings.gpio;
    options.portLogFile = commandLine.portLogFile;
    options.choice = given.value_or(settings.backend);
    return options;
}

} // namespace port
