#include "rig/SwrTuneSettings.h"

#include "core/SettingsFile.h"

#include <cmath>
#include <optional>

namespace rig {

namespace {

// The highest values taken: a carrier of more than 100 W is no touch-up, and a tune that
// keys for minutes heats what it measures.
constexpr double HighestPowerW = 100;
constexpr int MostSteps = 200;
constexpr int MostSeconds = 60;

std::optional<double> Watts(const QString& text) {
    bool number = false;
    const double watts = text.toDouble(&number);
    return number && std::isfinite(watts) && watts > 0 && watts <= HighestPowerW
               ? std::optional<double>(watts)
               : std::nullopt;
}

std::optional<int> Whole(const QString& text, int most) {
    bool number = false;
    const int value = text.toInt(&number);
    return number && value >= 1 && value <= most ? std::optional<int>(value) : std::nullopt;
}

template <typename T, typename Check>
void Read(const QSettings& ini, const QString& file, const QString& key,
          core::SettingsReport* report, Check check, T& value) {
    const QString text = core::SettingsText(ini, QStringLiteral("swrtune/") + key)
                             .value_or(QString())
                             .trimmed();
    if (text.isEmpty())
        return;
    if (const std::optional<T> used = check(text))
        value = *used;
    else if (report)
        report->Unused(file, QStringLiteral("swrtune/") + key, text, QString::number(value));
}

} // namespace

SwrTuneSettings LoadSwrTuneSettings(const QString& settingsFile, core::SettingsReport* report) {
    const core::IniSettings ini(settingsFile);
    SwrTuneSettings settings;
    Read(ini, settingsFile, QStringLiteral("power"), report, Watts, settings.powerW);
    Read(ini, settingsFile, QStringLiteral("maxpower"), report, Watts, settings.maxPowerW);
    Read(
        ini, settingsFile, QStringLiteral("steps"), report,
        [](const QString& text) { return Whole(text, MostSteps); }, settings.steps);
    Read(
        ini, settingsFile, QStringLiteral("seconds"), report,
        [](const QString& text) { return Whole(text, MostSeconds); }, settings.seconds);
    return settings;
}

} // namespace rig
