#include "rig/SwrTuneSettings.h"

#include "core/SettingsGroupReader.h"

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

// Takes text into value when check accepts it; a blank value keeps the default, unreported.
template <typename T, typename Check> auto Into(T& value, Check check) {
    return [&value, check](const QString& text) {
        if (text.trimmed().isEmpty())
            return true;
        const std::optional<T> used = check(text.trimmed());
        if (used)
            value = *used;
        return used.has_value();
    };
}

} // namespace

SwrTuneSettings LoadSwrTuneSettings(const QString& settingsFile, core::SettingsReport* report) {
    // Read only: the keys are added by the user who wants other values than the defaults.
    core::SettingsGroupReader group(settingsFile, QStringLiteral("swrtune"), report);
    SwrTuneSettings settings;
    const auto whole = [](int most) {
        return [most](const QString& text) { return Whole(text, most); };
    };
    group.read(QStringLiteral("power"), QString::number(settings.powerW), {},
               Into(settings.powerW, Watts));
    group.read(QStringLiteral("maxpower"), QString::number(settings.maxPowerW), {},
               Into(settings.maxPowerW, Watts));
    group.read(QStringLiteral("steps"), QString::number(settings.steps), {},
               Into(settings.steps, whole(MostSteps)));
    group.read(QStringLiteral("seconds"), QString::number(settings.seconds), {},
               Into(settings.seconds, whole(MostSeconds)));
    return settings;
}

} // namespace rig
