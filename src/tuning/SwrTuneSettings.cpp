#include "tuning/SwrTuneSettings.h"

#include "core/SettingsGroupReader.h"

#include <cmath>
#include <optional>

namespace tuning {

namespace {

// The highest values taken: a carrier of more than 100 W is no touch-up, and a tune that
// keys for minutes heats what it measures.
constexpr double HighestPowerW = 100;
constexpr int MostSteps = 200;
constexpr int MostSeconds = 60;

std::optional<double> WattsFromText(const QString& text) {
    bool number = false;
    const double watts = text.toDouble(&number);
    return number && std::isfinite(watts) && watts > 0 && watts <= HighestPowerW
               ? std::optional<double>(watts)
               : std::nullopt;
}

} // namespace

SwrTuneSettings LoadSwrTuneSettings(const QString& settingsFile, core::SettingsReport* report) {
    // Read only: the keys are added by the user who wants other values than the defaults.
    core::SettingsGroupReader group(settingsFile, QStringLiteral("swrtune"), report,
                                    core::SettingsGroupReader::Blank::KeepsDefault);
    SwrTuneSettings settings;
    group.value(QStringLiteral("power"), settings.powerW, WattsFromText,
                QString::number(settings.powerW));
    group.value(QStringLiteral("maxpower"), settings.maxPowerW, WattsFromText,
                QString::number(settings.maxPowerW));
    group.integer(QStringLiteral("steps"), settings.steps, 1, MostSteps);
    group.integer(QStringLiteral("seconds"), settings.seconds, 1, MostSeconds);
    return settings;
}

} // namespace tuning
